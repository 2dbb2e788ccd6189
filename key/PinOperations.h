#pragma once

#include "device/DriverConventions.h"

#include <cstdint>
#include <string>

namespace talvo {

class KeyDriverBinding;

// The key's hash of a PIN as "哈希" asks for it: at most six bytes of the CP936 text, never
// half a character, and a length of six always, so that a shorter PIN is hashed with the
// zeros after it.
int32_t hashPin(KeyDriverBinding& binding, const std::string& cp936Pin, char (&hash)[kCalcHashBufferSize]);

// The hash of the fixed PIN, which the low format asks for before it formats.
int32_t hashFixedPin(KeyDriverBinding& binding, char (&hash)[kCalcHashBufferSize]);

// The key's check of the user PIN (CP936, terminated): the driver's status, 0 when it matches.
int32_t checkPin(KeyDriverBinding& binding, const std::string& cp936Pin);

} // namespace talvo
