#pragma once

namespace talvo {

// The key's cryptographic service provider: its default container holds the key's pairs.
inline constexpr const char* kKeyProviderName = "MERO Cryptographic Service Provider v1.0.0";

} // namespace talvo
