#include "DeviceInfoFields.h"

#include "platform/core/Cp936Codec.h"

#include <array>
#include <cstring>
#include <limits>

namespace talvo {

namespace {

constexpr std::array<std::string_view, 4> kModeNames = {"NONE", "COMMON", "ADMIN", "SUPER"};
constexpr int32_t kPrimaryKeyRole = 101;

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

QString modeDisplayName(int32_t mode)
{
    const bool known = mode >= 0 && static_cast<std::size_t>(mode) < kModeNames.size();
    const std::string_view name = kModeNames[known ? static_cast<std::size_t>(mode) : 0];
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<int32_t> matchModeText(std::string_view typed)
{
    for (std::size_t code = 0; code < kModeNames.size(); ++code) {
        const std::string_view name = kModeNames[code];
        if (typed.size() < name.size())
            continue;
        bool equal = true;
        for (std::size_t i = 0; i < name.size() && equal; ++i)
            equal = foldAscii(typed[i]) == foldAscii(name[i]);
        if (equal)
            return static_cast<int32_t>(code);
    }
    return std::nullopt;
}

Qt::CheckState checkStateFromFlag(int value)
{
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

int flagFromCheckState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

uint8_t flagByteFromMember(int member)
{
    return member == 1 ? 1 : 0;
}

int keyRoleMember(int32_t keyRole)
{
    return keyRole == kPrimaryKeyRole || keyRole == 0 ? 1 : 0;
}

QString unsignedDecimal(int32_t value)
{
    return QString::number(static_cast<uint32_t>(value));
}

int32_t parseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';

    constexpr int64_t kCeiling = int64_t{std::numeric_limits<uint32_t>::max()} + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(kCeiling, magnitude * 10 + (text[i] - '0'));

    if (negative)
        return magnitude > -int64_t{std::numeric_limits<int32_t>::min()} ? std::numeric_limits<int32_t>::min()
                                                                         : static_cast<int32_t>(-magnitude);
    if (magnitude >= kCeiling)
        return std::numeric_limits<int32_t>::max();
    // The same 32 bits as the unsigned number that was shown.
    return static_cast<int32_t>(static_cast<uint32_t>(magnitude));
}

DeviceInfoView viewFromRecord(const KeyBaseInfo& base)
{
    DeviceInfoView view;
    view.flags.factory = base.factoryFlag;
    view.flags.format = base.formatFlag;
    view.flags.init = base.initFlag;
    view.flags.lock = base.lockFlag;
    view.flags.timeControl = base.timeControlFlag;
    view.flags.keyRole = keyRoleMember(base.keyRole);
    view.pinHash = fromCp936(base.pinHash, sizeof base.pinHash);
    view.unitId = fromCp936(base.unitId, sizeof base.unitId);
    view.userId = fromCp936(base.userId, sizeof base.userId);
    view.errorTimes = unsignedDecimal(base.errorTimes);
    view.sealCount = unsignedDecimal(base.sealNum);
    view.mode = modeDisplayName(base.mode);
    return view;
}

KeyBaseInfo buildKeyBaseInfo(const DeviceInfoForm& form)
{
    KeyBaseInfo record;
    std::memset(&record, 0, sizeof record);
    record.factoryFlag = flagByteFromMember(form.flags.factory);
    record.formatFlag = flagByteFromMember(form.flags.format);
    record.initFlag = flagByteFromMember(form.flags.init);
    record.lockFlag = flagByteFromMember(form.flags.lock);
    record.errorTimes = form.errorTimes;
    record.mode = form.mode;
    copyToField(form.pinHash, record.pinHash);
    copyToField(form.unitId, record.unitId);
    copyToField(form.userId, record.userId);
    return record;
}

} // namespace talvo
