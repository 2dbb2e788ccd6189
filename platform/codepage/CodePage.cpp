#include "CodePage.h"

#include "IconvHandle.h"
#include "VisibleEscape.h"

#include <algorithm>
#include <cstdio>

namespace talvo::codepage {

namespace {

constexpr const char* kCp936 = "CP936";
constexpr const char* kUtf8 = "UTF-8";

// The bytes of the character that starts here, as its lead byte says; a stray byte is one.
std::size_t characterLength(std::string_view utf8)
{
    const auto lead = static_cast<unsigned char>(utf8.front());
    std::size_t length = 1;
    if ((lead & 0xE0) == 0xC0)
        length = 2;
    else if ((lead & 0xF0) == 0xE0)
        length = 3;
    else if ((lead & 0xF8) == 0xF0)
        length = 4;
    return std::min(length, utf8.size());
}

} // namespace

std::string utf8ToCp936(std::string_view utf8)
{
    IconvHandle converter(kCp936, kUtf8);
    std::string cp936;
    cp936.reserve(utf8.size());
    while (!utf8.empty()) {
        utf8.remove_prefix(converter.convert(utf8, cp936));
        if (utf8.empty())
            break;
        cp936.push_back('?');
        utf8.remove_prefix(characterLength(utf8));
    }
    return cp936;
}

std::optional<std::string> utf8ToCp936Exactly(std::string_view utf8)
{
    IconvHandle converter(kCp936, kUtf8);
    std::string cp936;
    if (converter.convert(utf8, cp936) != utf8.size())
        return std::nullopt;
    return cp936;
}

std::string cp936ToUtf8(std::string_view cp936, Undecodable undecodable)
{
    IconvHandle converter(kUtf8, kCp936);
    std::string utf8;
    utf8.reserve(cp936.size() * 2);
    while (!cp936.empty()) {
        const std::size_t converted = utf8.size();
        cp936.remove_prefix(converter.convert(cp936, utf8));
        if (undecodable == Undecodable::Visible)
            utf8.replace(converted, std::string::npos, visibleUtf8(std::string_view(utf8).substr(converted)));
        if (cp936.empty())
            break;
        if (undecodable != Undecodable::QuestionMark) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(cp936.front()));
            utf8 += escape;
        } else {
            utf8.push_back('?');
        }
        cp936.remove_prefix(1);
    }
    return utf8;
}

std::size_t utf8PrefixFittingCp936(std::string_view utf8, std::size_t maxBytes)
{
    IconvHandle converter(kCp936, kUtf8);
    std::size_t taken = 0;
    std::size_t used = 0;
    std::string converted;
    while (taken < utf8.size()) {
        const std::string_view character = utf8.substr(taken, characterLength(utf8.substr(taken)));
        converted.clear();
        // One that does not convert stands as one '?'.
        const std::size_t bytes =
            converter.convert(character, converted) == character.size() ? converted.size() : 1;
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        taken += character.size();
    }
    return taken;
}

} // namespace talvo::codepage
