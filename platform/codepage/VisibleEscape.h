#pragma once

#include <string>
#include <string_view>

// The rules by which a program shows a text from a key, a certificate or a file name, so that
// it cannot forge lines, colour a terminal or turn what follows it around. No Qt, so that the
// simulated key shows its texts as the tool does.
namespace talvo::codepage {

// The escape of one character, or empty when it is shown as it is: "\n", "\t", "\r", "\x1B" for
// the other C0 controls and DEL, "\u0085" for C1 controls and for the characters that reorder
// text (bidirectional marks, embeddings, overrides and isolates), "\\" for a backslash when
// backslashes are escaped.
std::string escapeOf(char32_t character, bool escapeBackslash);

// A UTF-8 text with every character escaped as escapeOf says, backslashes included; a byte that
// is no UTF-8 shows as "\xFF".
std::string visibleUtf8(std::string_view utf8);

} // namespace talvo::codepage
