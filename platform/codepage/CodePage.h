#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Text between UTF-8 and the key's code page, CP936 (GBK), over glibc's iconv. Each call opens
// one converter for its direction, however long the text: an edit's byte limit runs on every
// key press. No Qt, so that the simulated key shares it with the tool.
namespace talvo::codepage {

// A character that CP936 cannot hold becomes one '?'.
std::string utf8ToCp936(std::string_view utf8);

// Nothing when a character cannot be held.
std::optional<std::string> utf8ToCp936Exactly(std::string_view utf8);

// What a byte that is no CP936 text becomes: '?', or a \xNN escape that shows what it was.
// Visible also escapes the text itself as visibleUtf8 does (VisibleEscape.h), so that no
// character of it can pass for such an escape.
enum class Undecodable { QuestionMark, Escape, Visible };

std::string cp936ToUtf8(std::string_view cp936, Undecodable undecodable);

// How many bytes of the UTF-8 text, whole characters only, make a CP936 text (as utf8ToCp936
// makes it) of at most maxBytes.
std::size_t utf8PrefixFittingCp936(std::string_view utf8, std::size_t maxBytes);

} // namespace talvo::codepage
