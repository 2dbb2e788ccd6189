#pragma once

#include <string_view>

namespace talvo {

// The tool's one password: whoever gives it may change the key. It is a constant, never
// configured, and compared as the bytes given: case matters and nothing is trimmed.
inline constexpr std::string_view kToolPassword = "plain-fox739204";

inline bool isToolPassword(std::string_view given)
{
    return given == kToolPassword;
}

} // namespace talvo
