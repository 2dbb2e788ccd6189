#pragma once

#include "device/DriverConventions.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace talvo {

class KeyDriverBinding;

// The key's serial number, read on the tool's device into a buffer of its fixed size; the
// driver's status. The text may fill the buffer without a terminator.
int32_t readSerial(KeyDriverBinding& binding, char (&serial)[kSerialBufferSize]);

// The driver hands its CSP name out as a bare pointer with no length. Provider names are
// short; anything without a terminator within this many bytes is cut there.
inline constexpr std::size_t kCspNameMaxBytes = 256;

// The name for showing: empty for a null pointer, cut at kCspNameMaxBytes.
QString cspNameText(const char* name);
QString readCspName(KeyDriverBinding& binding);

// Whether "用户key" finds the user's key on its device.
bool userKeyPresent(KeyDriverBinding& binding);

// "初始化": the hash of the fixed PIN is asked for but not used, then the key is low
// formatted unless mayFormat, asked in between, says no (nullopt then). The format's status.
std::optional<int32_t> formatKey(KeyDriverBinding& binding, const std::function<bool()>& mayFormat = {});

} // namespace talvo
