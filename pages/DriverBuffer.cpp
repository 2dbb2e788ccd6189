#include "DriverBuffer.h"

#include <algorithm>

namespace talvo {

DriverBuffer::DriverBuffer(uint32_t reportedLength) : m_refused(reportedLength > kMaxLength)
{
    if (m_refused)
        return;
    // One spare byte so that even an empty buffer has an address to hand out.
    m_bytes.assign(std::size_t{reportedLength} + 1, 0);
    m_length = reportedLength;
}

uint32_t DriverBuffer::size() const
{
    if (m_bytes.empty())
        return 0;
    return std::min<uint32_t>(m_length, static_cast<uint32_t>(m_bytes.size() - 1));
}

} // namespace talvo
