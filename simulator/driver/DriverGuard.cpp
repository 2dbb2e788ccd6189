#include "DriverGuard.h"

#include <cstring>
#include <limits>

namespace talvo::sim {

int32_t deliverBytes(std::string_view bytes, uint8_t* buffer, uint32_t* length)
{
    if (!length)
        return TL_ERR_PARAMETER;
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        return TL_ERR_MEMORY;
    const auto size = static_cast<uint32_t>(bytes.size());
    if (!buffer) {
        *length = size;
        return TL_OK;
    }
    if (*length < size) {
        *length = size;
        return TL_ERR_MEMORY;
    }
    std::memcpy(buffer, bytes.data(), size);
    *length = size;
    return TL_OK;
}

} // namespace talvo::sim
