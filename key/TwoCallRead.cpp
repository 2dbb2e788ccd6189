#include "TwoCallRead.h"

#include "device/TalvoDriverApi.h"

#include <algorithm>
#include <utility>

namespace talvo {

TwoCallRead::TwoCallRead(LengthCall call, uint32_t maxLength)
    : m_call(std::move(call)), m_maxLength(maxLength)
{
}

int32_t TwoCallRead::askLength()
{
    return m_call(nullptr, &m_reported);
}

int32_t TwoCallRead::readBytes(uint32_t minimumSize)
{
    m_buffer.emplace(std::max(m_reported, minimumSize), m_maxLength);
    if (m_buffer->refused())
        return TL_ERR_MEMORY;
    return m_call(m_buffer->data(), m_buffer->length());
}

uint32_t TwoCallRead::size() const
{
    return m_buffer ? std::min(m_buffer->size(), m_reported) : 0;
}

DriverBuffer TwoCallRead::takeBuffer()
{
    DriverBuffer buffer = m_buffer ? std::move(*m_buffer) : DriverBuffer(0);
    m_buffer.reset();
    return buffer;
}

} // namespace talvo
