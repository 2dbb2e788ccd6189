#pragma once

#include "device/DriverFunctionOrder.h"
#include "device/TalvoDriverApi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <string_view>

namespace talvo::sim {

inline constexpr int kSealSlots = TL_SEAL_SLOTS;
inline constexpr int kFirstSealNumber = TL_FIRST_SEAL_NUMBER;
inline constexpr int kLastSealNumber = kFirstSealNumber + kSealSlots - 1;

// Longest texts the key holds: each fixed field keeps one byte for its terminator.
inline constexpr std::size_t kSerialMax = TL_SERIAL_BUFFER_SIZE - 1;
inline constexpr std::size_t kPinHashMax = TL_PIN_HASH_SIZE - 1;
inline constexpr std::size_t kUnitIdMax = TL_UNIT_ID_SIZE - 1;
inline constexpr std::size_t kUserIdMax = TL_USER_ID_SIZE - 1;
inline constexpr std::size_t kSealNameMax = TL_SEAL_NAME_SIZE - 1;
inline constexpr std::size_t kSealTimeMax = TL_SEAL_TIME_SIZE - 1;
inline constexpr std::size_t kSpareTextMax = TL_SEAL_SPARE_SIZE - 1;
inline constexpr std::size_t kInitTimeMax = TL_SEAL_INIT_TIME_SIZE - 1;

// The largest seal picture the key takes: what it refuses to store it never has to read.
inline constexpr uint32_t kMaxPictureSize = 64u * 1024 * 1024;

// The driver functions that the tool calls: the ones a failure can be injected into.
inline constexpr auto kCalledFunctions = kCalledDriverFunctionNames;

inline bool isCalledFunction(std::string_view name)
{
    return std::find(kCalledFunctions.begin(), kCalledFunctions.end(), name) != kCalledFunctions.end();
}

inline bool isSealNumber(int32_t number)
{
    return number >= kFirstSealNumber && number <= kLastSealNumber;
}

// One slot of the seal table. The picture lives in a file of its own; the record keeps its
// size so that a lost or cut picture file is noticed.
struct SealRecord {
    bool inUse = false;
    std::string name;
    std::string expiryTime;
    std::string spareText;
    std::string initTime;
    uint32_t pictureSize = 0;

    bool operator==(const SealRecord&) const = default;
};

// Everything the simulated key remembers apart from its files. Texts are CP936 bytes without
// terminator, each within the maximum of its field.
struct KeyState {
    std::string serial;
    uint8_t factoryFlag = 0;
    uint8_t formatFlag = 0;
    uint8_t initFlag = 0;
    uint8_t lockFlag = 0;
    int32_t errorTimes = 0;
    int32_t mode = 0;
    std::string pinHash;
    std::string unitId;
    std::string userId;
    uint8_t timeControlFlag = 0;
    int32_t keyRole = 0;
    // Read and written only so that state files keep one format: the desktop's certificate
    // store is the user's NSS database, which the driver asks instead.
    int32_t certificateStoreCount = 0;
    std::array<SealRecord, kSealSlots> seals;
    // Function name -> the status it answers instead of working.
    std::map<std::string, int32_t> failures;

    int sealCount() const
    {
        return static_cast<int>(
            std::count_if(seals.begin(), seals.end(), [](const SealRecord& s) { return s.inUse; }));
    }
    SealRecord& seal(int32_t number) { return seals.at(static_cast<std::size_t>(number - kFirstSealNumber)); }
    const SealRecord& seal(int32_t number) const
    {
        return seals.at(static_cast<std::size_t>(number - kFirstSealNumber));
    }

    bool operator==(const KeyState&) const = default;
};

// The state's own fields, written once: the state file and talvo-sim's "set" name them so, and
// the file keeps this order. Each is exactly one of a byte (0..255), a number from minimum to
// the largest int32_t, or a CP936 text of at most maxBytes.
struct StateField {
    std::string_view name;
    uint8_t KeyState::*byte = nullptr;
    int32_t KeyState::*integer = nullptr;
    std::string KeyState::*text = nullptr;
    std::size_t maxBytes = 0;
    long long minimum = 0;
};

inline constexpr long long kAnyInt32 = std::numeric_limits<int32_t>::min();
inline constexpr StateField kStateFields[] = {
    {.name = "serial", .text = &KeyState::serial, .maxBytes = kSerialMax},
    {.name = "factoryFlag", .byte = &KeyState::factoryFlag},
    {.name = "formatFlag", .byte = &KeyState::formatFlag},
    {.name = "initFlag", .byte = &KeyState::initFlag},
    {.name = "lockFlag", .byte = &KeyState::lockFlag},
    {.name = "errorTimes", .integer = &KeyState::errorTimes, .minimum = kAnyInt32},
    {.name = "mode", .integer = &KeyState::mode, .minimum = kAnyInt32},
    {.name = "pinHash", .text = &KeyState::pinHash, .maxBytes = kPinHashMax},
    {.name = "unitId", .text = &KeyState::unitId, .maxBytes = kUnitIdMax},
    {.name = "userId", .text = &KeyState::userId, .maxBytes = kUserIdMax},
    {.name = "timeControlFlag", .byte = &KeyState::timeControlFlag},
    {.name = "keyRole", .integer = &KeyState::keyRole, .minimum = kAnyInt32},
    {.name = "certificateStore", .integer = &KeyState::certificateStoreCount, .minimum = 0},
};

} // namespace talvo::sim
