#include "DeviceOperations.h"

#include "PinOperations.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/Cp936Codec.h"

namespace talvo {

int32_t readSerial(KeyDriverBinding& binding, char (&serial)[kSerialBufferSize])
{
    return binding.TLKeyReadSerial(serial, kDeviceSelector);
}

QString cspNameText(const char* name)
{
    return name ? fromCp936(name, kCspNameMaxBytes) : QString();
}

QString readCspName(KeyDriverBinding& binding)
{
    return cspNameText(binding.TLKeyReadCspName());
}

bool userKeyPresent(KeyDriverBinding& binding)
{
    return binding.TLKeyIsExist(kUserKeySelector);
}

std::optional<int32_t> formatKey(KeyDriverBinding& binding, const std::function<bool()>& mayFormat)
{
    char hash[kCalcHashBufferSize] = {};
    hashFixedPin(binding, hash);
    if (mayFormat && !mayFormat())
        return std::nullopt;
    return binding.TLKeyLowFormat();
}

} // namespace talvo
