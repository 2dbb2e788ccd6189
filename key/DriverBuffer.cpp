#include "DriverBuffer.h"

#include <algorithm>

namespace talvo {

DriverBuffer::DriverBuffer(uint32_t reportedLength, uint32_t maxLength)
    : m_refused(reportedLength > maxLength)
{
    if (m_refused || reportedLength == 0)
        return;
    // Sized by the driver: calloc leaves a large buffer untouched until it is written, and a
    // size the machine cannot hold is a refusal rather than the end of the process.
    m_bytes.reset(static_cast<uint8_t*>(std::calloc(reportedLength, 1)));
    m_refused = !m_bytes;
    if (m_refused)
        return;
    m_capacity = reportedLength;
    m_length = reportedLength;
}

uint32_t DriverBuffer::size() const
{
    return std::min(m_length, m_capacity);
}

} // namespace talvo
