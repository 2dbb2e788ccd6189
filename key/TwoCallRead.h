#pragma once

#include "DriverBuffer.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace talvo {

// One of the driver's reads of a length only it knows, called with (buffer or null, length).
using LengthCall = std::function<int32_t(uint8_t* buffer, uint32_t* length)>;

// The two-call form, in its two steps, so that each caller keeps its own order of calls and
// its own answer to a failed step: the length with no buffer, then the bytes into a
// zero-filled buffer of that length.
class TwoCallRead {
public:
    explicit TwoCallRead(LengthCall call, uint32_t maxLength = DriverBuffer::kMaxLength);

    // The first call. The driver's status; the length it left stays for the second call,
    // whatever the status.
    int32_t askLength();
    uint32_t reportedLength() const { return m_reported; }

    // The second call, into a buffer of the reported length, or of minimumSize bytes when that
    // is more. A length beyond the limit, or one the memory cannot hold, is not called for:
    // TL_ERR_MEMORY, and refused() says so.
    int32_t readBytes(uint32_t minimumSize = 0);
    bool refused() const { return m_buffer && m_buffer->refused(); }

    // What the second call delivered, within its buffer and the first call's length; null
    // and 0 before it, or when it was refused.
    const uint8_t* bytes() const { return m_buffer ? m_buffer->bytes() : nullptr; }
    uint32_t size() const;
    // The second call's buffer, handed over whole (a seal picture is not copied).
    DriverBuffer takeBuffer();

private:
    LengthCall m_call;
    uint32_t m_maxLength;
    uint32_t m_reported = 0;
    std::optional<DriverBuffer> m_buffer;
};

} // namespace talvo
