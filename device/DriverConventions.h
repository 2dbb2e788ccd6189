#pragma once

#include "device/TalvoDriverApi.h"

#include <cstddef>
#include <cstdint>

namespace talvo {

// What the tool passes where the driver leaves the choice to its callers: the device
// selectors, the fixed PIN and the buffer sizes. The pages and talvo-key take them from here.

// Presence, serial number, hash write and certificate export ask for device 4...
inline constexpr int32_t kDeviceSelector = 4;
// ...the cryptographic service page's "用户key" for device 0, the PIN page's "readhash" for 2.
inline constexpr int32_t kUserKeySelector = 0;
inline constexpr int32_t kReadHashSelector = 2;

// Passed where the driver needs a PIN and none is typed.
inline constexpr const char* kFixedPin = "730264";
inline constexpr int32_t kFixedPinLength = 6;

// A hash fits 40 bytes with its terminator; the extra byte keeps it terminated even when a
// driver fills all 40.
inline constexpr std::size_t kCalcHashBufferSize = TL_HASH_BUFFER_SIZE + 1;
inline constexpr std::size_t kSerialBufferSize = TL_SERIAL_BUFFER_SIZE;

// The PIN edits take at most six bytes; the cryptographic service page hashes six, always.
inline constexpr std::size_t kPinMaxBytes = 6;

// Seal texts leave their field's last byte for the terminator.
inline constexpr std::size_t kSealNameMaxBytes = TL_SEAL_NAME_SIZE - 1;
inline constexpr std::size_t kSealTimeMaxBytes = TL_SEAL_TIME_SIZE - 1;
inline constexpr std::size_t kSealInitTimeMaxBytes = TL_SEAL_INIT_TIME_SIZE - 1;

// "发操作员" issues the key in this mode.
inline constexpr int32_t kOperatorMode = 3;

} // namespace talvo
