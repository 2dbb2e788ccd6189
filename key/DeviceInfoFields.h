#pragma once

#include "device/TalvoDriverApi.h"

#include <QString>
#include <Qt>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvo {

// The form's text limits in CP936 bytes. The PIN hash edit has no limit of its own, but only
// its first 40 bytes are read; the seal count is shown, never written.
inline constexpr std::size_t kModeTextMaxBytes = 10;
inline constexpr std::size_t kPinHashMaxBytes = TL_PIN_HASH_SIZE - 1;
inline constexpr std::size_t kUnitIdMaxBytes = TL_UNIT_ID_SIZE - 1;
inline constexpr std::size_t kUserIdMaxBytes = TL_USER_ID_SIZE - 1;
inline constexpr std::size_t kErrorTimesMaxBytes = 1;
inline constexpr std::size_t kSealCountMaxBytes = 10;

// The key's mode codes, in the order in which typed text is matched against their names.
enum KeyMode : int32_t { KeyModeNone = 0, KeyModeCommon = 1, KeyModeAdmin = 2, KeyModeSuper = 3 };

// The name shown for a mode code; every code outside the table shows as "NONE".
QString modeDisplayName(int32_t mode);

// The first mode whose name the typed CP936 text starts with, ASCII letters folded to lower
// case on both sides and every other byte compared exactly. Longer text still matches
// ("Administrator" is ADMIN); text shorter than the name does not.
std::optional<int32_t> matchModeText(std::string_view typed);

// A check box member as it reaches the box: 1 ticks it, 2 leaves it undecided, anything else
// (0 and out-of-range bytes) clears it.
Qt::CheckState checkStateFromFlag(int value);
int flagFromCheckState(Qt::CheckState state);

// What goes to the key for a check box member: only a ticked box sets the flag.
uint8_t flagByteFromMember(int member);

// The primary/secondary box is ticked for a primary key (101) and for an unset role (0).
int keyRoleMember(int32_t keyRole);

// Counters are shown as the unsigned reading of their 32 bits (-1 shows as 4294967295).
QString unsignedDecimal(int32_t value);

// Reads a leading signed decimal number the way atoi does (blanks, sign, digits; anything
// else ends it, no digits gives 0). A number up to 4294967295 keeps its 32 bits, so what
// unsignedDecimal showed reads back as the same value; beyond that it saturates.
int32_t parseDecimal(std::string_view text);

// The page's six check-box members, as the boxes show them.
struct DeviceFlags {
    int factory = 0;
    int format = 0;
    int init = 0;
    int lock = 0;
    int timeControl = 0;
    int keyRole = 0;
};

// The form as "查看信息" fills it from the key's record: the check-box members and the texts
// as the edits show them.
struct DeviceInfoView {
    DeviceFlags flags;
    QString pinHash;
    QString unitId;
    QString userId;
    QString errorTimes;
    QString sealCount;
    QString mode;
};

// Each text is read only within its field, whether or not the driver terminated it.
DeviceInfoView viewFromRecord(const KeyBaseInfo& base);

// What "设置信息" writes: the form's flags (not the time control or the key role), counter,
// mode and texts (CP936).
struct DeviceInfoForm {
    DeviceFlags flags;
    int32_t errorTimes = 0;
    int32_t mode = KeyModeNone;
    std::string pinHash;
    std::string unitId;
    std::string userId;
};

// A zero-filled record: each text cut to its field so that its terminator survives, and the
// seal count, time-control flag and key role left zero because the page never writes them.
KeyBaseInfo buildKeyBaseInfo(const DeviceInfoForm& form);

} // namespace talvo
