#pragma once

#include <cstddef>
#include <string>

namespace talvo::sim {

// The key's hash of a PIN: the MD5 of its bytes as 32 uppercase hex digits.
std::string pinHash(const char* pin, std::size_t length);

inline constexpr const char* kFactoryPin = "730264";

} // namespace talvo::sim
