#pragma once

#include "KeyState.h"

#include <string_view>

namespace talvo::sim {

enum class KeyContent { Demo, Empty };

inline constexpr const char* kDemoSerial = "TLV-2026-00017";
inline constexpr int32_t kDemoKeyRole = 101;
inline constexpr int32_t kModeCommon = 1;

// The demo key's record: serial, mode COMMON, unit and user ids, the hash of the factory PIN
// and key role 101; with Demo content also three seals in the first three slots.
KeyState demoKeyState(KeyContent content);

// The picture of a demo seal, empty for a seal number that has none.
std::string_view demoPicture(int32_t sealNumber);

} // namespace talvo::sim
