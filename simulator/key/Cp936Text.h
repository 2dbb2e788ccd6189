#pragma once

#include <string>
#include <string_view>

namespace talvo::sim {

// The simulator's own conversions between the terminal's UTF-8 and the key's CP936 bytes.
// False when the text has a character that the other side cannot hold.
bool utf8ToCp936(std::string_view utf8, std::string& cp936);

// Bytes that are no CP936 text come out as \xNN escapes, and the text itself escaped as
// talvo-key shows a key text (line ends, controls, reordering marks, backslashes), so that a
// dump never lies.
std::string cp936ToUtf8(std::string_view cp936);

} // namespace talvo::sim
