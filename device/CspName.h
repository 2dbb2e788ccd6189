#pragma once

#include <QString>

#include <cstddef>

namespace talvo {

// The driver hands its CSP name out as a bare pointer with no length. Provider names are
// short; anything without a terminator within this many bytes is cut there.
inline constexpr std::size_t kCspNameMaxBytes = 256;

// The name for showing: empty for a null pointer, cut at kCspNameMaxBytes.
QString cspNameText(const char* name);

} // namespace talvo
