#include "DriverBuffer.h"

#include <algorithm>

namespace talvo {

DriverBuffer::DriverBuffer(uint32_t reportedLength) : m_refused(reportedLength > kMaxLength)
{
    if (m_refused)
        return;
    m_bytes.assign(reportedLength, 0);
    m_length = reportedLength;
}

uint32_t DriverBuffer::size() const
{
    return std::min<uint32_t>(m_length, static_cast<uint32_t>(m_bytes.size()));
}

} // namespace talvo
