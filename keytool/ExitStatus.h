#pragma once

namespace talvo::keytool {

// What scripts rely on: 0 done, 1 the key or the driver failed, 2 refused before the key
// was reached (bad usage, a wrong password, an operator's no).
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

} // namespace talvo::keytool
