#include "PinChange.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"

namespace talvo {

namespace {

int32_t byteLength(const std::string& text)
{
    return static_cast<int32_t>(text.size());
}

} // namespace

bool pinChangeComplete(const std::string& oldPin, const std::string& newPin, const std::string& confirmation)
{
    return !oldPin.empty() && !newPin.empty() && !confirmation.empty();
}

PinChangeResult changePin(KeyDriverBinding& binding, const std::string& oldPin, const std::string& newPin,
                          const std::string& confirmation)
{
    if (!pinChangeComplete(oldPin, newPin, confirmation))
        return {PinChangeOutcome::Incomplete};

    uint8_t matches = 0;
    const int32_t checkStatus = binding.TLKeyCheckHash(oldPin.c_str(), byteLength(oldPin), &matches);
    if (checkStatus != TL_OK || matches == 0)
        return {PinChangeOutcome::WrongOldPin, checkStatus};

    if (newPin != confirmation)
        return {PinChangeOutcome::ConfirmationDiffers};

    char hash[kCalcHashBufferSize] = {};
    const int32_t hashStatus = binding.TLKeyCalcHash(newPin.c_str(), byteLength(newPin), hash);
    if (hashStatus != TL_OK)
        return {PinChangeOutcome::HashFailed, hashStatus};
    const int32_t writeStatus = binding.TLKeyWriteHash(hash, kDeviceSelector);
    if (writeStatus != TL_OK)
        return {PinChangeOutcome::WriteFailed, writeStatus};
    return {PinChangeOutcome::Changed};
}

QString pinChangeText(PinChangeOutcome outcome)
{
    switch (outcome) {
    case PinChangeOutcome::Incomplete:
        return QStringLiteral("请输入完整信息!");
    case PinChangeOutcome::WrongOldPin:
        return QStringLiteral("密码不正确!");
    case PinChangeOutcome::ConfirmationDiffers:
        break;
    case PinChangeOutcome::HashFailed:
        return QStringLiteral("计算哈希不成功!");
    case PinChangeOutcome::WriteFailed:
        return QStringLiteral("修改密码不成功或参数设置错误!");
    case PinChangeOutcome::Changed:
        return QStringLiteral("修改密码成功!");
    }
    return QString();
}

} // namespace talvo
