#pragma once

namespace talvo::stamp {

// A seal dragged from the seals panel carries its number under this type.
inline constexpr const char* kSealMimeType = "application/x-talvo-seal";

} // namespace talvo::stamp
