#pragma once

#include <QByteArray>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>

namespace talvo {

// One of the driver's reads of a length only it knows, called with (buffer or null, length).
using LengthCall = std::function<int32_t(uint8_t* buffer, uint32_t* length)>;

// The key's one read of a length only the driver knows: the length with no buffer, then the
// bytes into a zero-filled buffer of that length. The two steps stand apart so that a caller
// keeps its own order of calls and its own answer to a failed step; readAll and
// readUnlessEmpty take both at once. The second call is kept within its buffer and the first
// call's length whatever the driver stores: a driver that delivers less than it announced
// leaves zeros, never stale memory.
class TwoCallRead {
public:
    // Certificates, signatures and public keys take a few kilobytes; a length beyond this is
    // no answer a key gives, and is refused rather than allocated.
    static constexpr uint32_t kMaxLength = 1024 * 1024;
    // For a seal picture, which may take megabytes.
    static constexpr uint32_t kUnlimited = std::numeric_limits<uint32_t>::max();

    explicit TwoCallRead(LengthCall call, uint32_t maxLength = kMaxLength);

    // The first call. The driver's status; the length it left stays for the second call,
    // whatever the status.
    int32_t askLength();
    uint32_t reportedLength() const { return m_reported; }

    // The second call, into a buffer of the reported length, or of minimumSize bytes when that
    // is more. A length beyond the limit, or one the memory cannot hold, is not called for:
    // TL_ERR_MEMORY, and refused() says so.
    int32_t readBytes(uint32_t minimumSize = 0);
    bool refused() const { return m_refused; }

    // Both steps: a failed first call stops there; the second call always gets a buffer (one
    // byte for an empty answer) rather than a length query.
    int32_t readAll();
    // Both steps, but an empty length makes no second call: 0 with nothing read.
    int32_t readUnlessEmpty();

    // What the second call delivered, within its buffer and the first call's length; null
    // and 0 before it, or when it was refused.
    const uint8_t* bytes() const { return m_buffer.get(); }
    uint32_t size() const;
    QByteArray toByteArray() const;

private:
    struct Release {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };

    LengthCall m_call;
    uint32_t m_maxLength;
    uint32_t m_reported = 0;
    std::unique_ptr<uint8_t[], Release> m_buffer;
    uint32_t m_capacity = 0;
    uint32_t m_length = 0;
    bool m_refused = false;
};

} // namespace talvo
