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
    const uint32_t length = std::max(m_reported, minimumSize);
    m_buffer.reset();
    m_capacity = m_length = 0;
    m_refused = length > m_maxLength;
    if (m_refused)
        return TL_ERR_MEMORY;
    if (length != 0) {
        // Sized by the driver: calloc leaves a large buffer untouched until it is written, and
        // a size the machine cannot hold is a refusal rather than the end of the process.
        m_buffer.reset(static_cast<uint8_t*>(std::calloc(length, 1)));
        m_refused = !m_buffer;
        if (m_refused)
            return TL_ERR_MEMORY;
        m_capacity = m_length = length;
    }
    return m_call(m_buffer.get(), &m_length);
}

int32_t TwoCallRead::readAll()
{
    const int32_t status = askLength();
    return status != TL_OK ? status : readBytes(1);
}

int32_t TwoCallRead::readUnlessEmpty()
{
    const int32_t status = askLength();
    return status != TL_OK || m_reported == 0 ? status : readBytes();
}

uint32_t TwoCallRead::size() const
{
    return std::min({m_length, m_capacity, m_reported});
}

QByteArray TwoCallRead::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char*>(bytes()), static_cast<qsizetype>(size()));
}

} // namespace talvo
