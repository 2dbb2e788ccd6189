#include "KeyBytes.h"

#include "device/TalvoDriverApi.h"
#include "pages/DriverBuffer.h"

#include <algorithm>

namespace talvo::keytool {

KeyBytes KeyBytes::read(const std::function<int32_t(uint8_t*, uint32_t*)>& call)
{
    KeyBytes result;
    uint32_t length = 0;
    result.status = call(nullptr, &length);
    if (result.status != TL_OK)
        return result;
    // Never empty, so that the second call always gets a buffer rather than a length query.
    DriverBuffer buffer(length == 0 ? 1 : length);
    if (buffer.refused()) {
        result.status = TL_ERR_MEMORY;
        return result;
    }
    result.status = call(buffer.data(), buffer.length());
    const uint32_t usable = std::min(buffer.size(), length);
    result.bytes = QByteArray(reinterpret_cast<const char*>(buffer.bytes()), static_cast<qsizetype>(usable));
    return result;
}

} // namespace talvo::keytool
