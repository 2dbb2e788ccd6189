#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace talvo {

inline constexpr std::size_t kStatusTextMinimumBuffer = 19;
inline constexpr std::size_t kStatusTextBufferSize = 100;

// Writes the status code's text, CP936 and terminated, into the caller's buffer of at
// least 19 bytes (every caller uses 100).
void GetStatusText(int32_t code, char* buffer, std::size_t bufferSize);

template <std::size_t N> void GetStatusText(int32_t code, char (&buffer)[N])
{
    static_assert(N >= kStatusTextMinimumBuffer, "a status text needs 19 bytes");
    GetStatusText(code, buffer, N);
}

// The same text for showing, decoded from the bytes that GetStatusText writes.
QString statusText(int32_t code);

} // namespace talvo
