#include "PinOperations.h"

#include "device/KeyDriverBinding.h"
#include "platform/core/Cp936Codec.h"

namespace talvo {

int32_t hashPin(KeyDriverBinding& binding, const std::string& cp936Pin, char (&hash)[kCalcHashBufferSize])
{
    char pin[kPinMaxBytes + 1] = {};
    copyToField(cp936Pin, pin);
    return binding.TLKeyCalcHash(pin, static_cast<int32_t>(kPinMaxBytes), hash);
}

int32_t hashFixedPin(KeyDriverBinding& binding, char (&hash)[kCalcHashBufferSize])
{
    return binding.TLKeyCalcHash(kFixedPin, kFixedPinLength, hash);
}

int32_t checkPin(KeyDriverBinding& binding, const std::string& cp936Pin)
{
    return binding.TLKeyVerifyUserPin(cp936Pin.c_str());
}

} // namespace talvo
