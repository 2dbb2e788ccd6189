#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace talvo {

// The second call of a two-call read: a zero-filled buffer of the length that the first call
// reported, and the length the driver gets back, kept within that buffer whatever the driver
// stores in it. A driver that delivers less than it announced leaves zeros, never stale memory.
class DriverBuffer {
public:
    // Certificates, signatures and public keys take a few kilobytes; a length beyond this is
    // no answer a key gives, and is refused rather than allocated.
    static constexpr uint32_t kMaxLength = 1024 * 1024;

    // No buffer at all (a null data()) for a length of 0.
    explicit DriverBuffer(uint32_t reportedLength, uint32_t maxLength = kMaxLength);

    // True when the length was beyond the limit or the memory could not hold it: the buffer
    // is empty and must not be handed to the driver.
    bool refused() const { return m_refused; }
    uint8_t* data() { return m_bytes.get(); }
    // What the driver reads and writes as the length.
    uint32_t* length() { return &m_length; }
    // The bytes delivered: the length the driver reported back, never more than the buffer.
    const uint8_t* bytes() const { return m_bytes.get(); }
    uint32_t size() const;

private:
    struct Release {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };

    std::unique_ptr<uint8_t[], Release> m_bytes;
    uint32_t m_capacity = 0;
    uint32_t m_length = 0;
    bool m_refused = false;
};

} // namespace talvo
