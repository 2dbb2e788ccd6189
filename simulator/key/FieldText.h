#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace talvo::sim {

// The text in a caller's buffer of the given size: up to the first zero byte, or the whole
// buffer when it holds none. Never reads past the size.
std::string_view textInBuffer(const char* buffer, std::size_t size);

// The longest prefix of a CP936 text that fits in max bytes without splitting a double-byte
// character.
std::string_view cutText(std::string_view text, std::size_t max);

// Writes the text and its terminator into a field of fieldSize bytes, cut to fit; the bytes
// after the terminator are left as they are.
void writeField(std::string_view text, char* field, std::size_t fieldSize);

template <std::size_t N> void writeField(std::string_view text, char (&field)[N])
{
    writeField(text, field, N);
}

} // namespace talvo::sim
