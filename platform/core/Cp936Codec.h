#pragma once

#include <QString>

#include <cstddef>
#include <string>

namespace talvo {

// The one place where text crosses between the UI's Unicode and the key's CP936 bytes.
// Characters that CP936 cannot hold become '?'.
std::string toCp936(const QString& text);

// Decodes at most maxBytes bytes, stopping at the first zero byte: a driver buffer is read
// only within its size, whether or not the driver terminated it.
QString fromCp936(const char* bytes, std::size_t maxBytes);
QString fromCp936(const std::string& bytes);

// Length of the text in CP936 bytes: a double-byte character counts two.
std::size_t cp936Length(const QString& text);

// The longest prefix of the text whose CP936 form fits in maxBytes, never splitting a character.
QString truncateToCp936Bytes(const QString& text, std::size_t maxBytes);

// Copies at most fieldSize - 1 bytes and zero-fills the rest, so the field is always
// terminated. A cut never leaves half of a double-byte character behind.
void copyToField(const std::string& cp936, char* field, std::size_t fieldSize);

template <std::size_t N> void copyToField(const std::string& cp936, char (&field)[N])
{
    copyToField(cp936, field, N);
}

// Length of a possibly unterminated text in a buffer of the given size.
std::size_t boundedLength(const char* bytes, std::size_t maxBytes);

// True when byte i of a CP936 string starts a double-byte character.
inline bool isCp936LeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace talvo
