#include "KeyBytes.h"

#include "device/TalvoDriverApi.h"

#include <memory>
#include <new>

namespace talvo::keytool {

KeyBytes KeyBytes::read(const std::function<int32_t(uint8_t*, uint32_t*)>& call)
{
    KeyBytes result;
    uint32_t length = 0;
    result.status = call(nullptr, &length);
    if (result.status != TL_OK)
        return result;
    if (length > kMaxLength) {
        result.status = TL_ERR_MEMORY;
        return result;
    }
    // Never empty, so that the second call always gets a buffer rather than a length query.
    // A length the machine cannot hold is the key's own memory error.
    const std::size_t allocated = length == 0 ? 1 : length;
    const std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[allocated]());
    if (!buffer) {
        result.status = TL_ERR_MEMORY;
        return result;
    }
    uint32_t delivered = length;
    result.status = call(buffer.get(), &delivered);
    const uint32_t usable = delivered < length ? delivered : length;
    result.bytes = QByteArray(reinterpret_cast<const char*>(buffer.get()), static_cast<qsizetype>(usable));
    return result;
}

} // namespace talvo::keytool
