#include "VisibleEscape.h"

namespace talvo::codepage {

namespace {

bool reordersText(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// "\\x" and two hexadecimal digits, or "\\u" and four.
std::string hexEscape(char kind, unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = {'\\', kind};
    for (int shift = kind == 'x' ? 4 : 12; shift >= 0; shift -= 4)
        text.push_back(kDigits[(value >> shift) & 0xF]);
    return text;
}

// The length of the UTF-8 sequence at the start and its character; 0 when it is none.
std::size_t decodeUtf8(std::string_view text, char32_t& character)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(0);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || length > text.size())
        return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    character = value;
    return length;
}

} // namespace

std::string escapeOf(char32_t character, bool escapeBackslash)
{
    switch (character) {
    case U'\n':
        return "\\n";
    case U'\t':
        return "\\t";
    case U'\r':
        return "\\r";
    case U'\\':
        return escapeBackslash ? "\\\\" : "";
    default:
        break;
    }
    if (character < 0x20 || character == 0x7F)
        return hexEscape('x', static_cast<unsigned>(character));
    if ((character >= 0x80 && character <= 0x9F) || reordersText(character))
        return hexEscape('u', static_cast<unsigned>(character));
    return {};
}

std::string visibleUtf8(std::string_view utf8)
{
    std::string shown;
    shown.reserve(utf8.size());
    while (!utf8.empty()) {
        char32_t character = 0;
        const std::size_t length = decodeUtf8(utf8, character);
        if (length == 0) {
            shown += hexEscape('x', static_cast<unsigned char>(utf8.front()));
            utf8.remove_prefix(1);
            continue;
        }
        const std::string escape = escapeOf(character, true);
        shown += escape.empty() ? std::string(utf8.substr(0, length)) : escape;
        utf8.remove_prefix(length);
    }
    return shown;
}

} // namespace talvo::codepage
