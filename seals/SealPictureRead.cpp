#include "SealPictureRead.h"

#include "device/KeyDriverBinding.h"

#include <new>

namespace talvo {

SealPictureRead readSealPicture(KeyDriverBinding* binding, int32_t sealNumber)
{
    SealPictureRead read;
    if (!binding) {
        read.status = TL_ERR_NO_DEVICE;
        return read;
    }
    uint32_t length = 0;
    read.status = binding->TLKeyReadSealData(sealNumber, nullptr, &length);
    if (read.status != TL_OK)
        return read;
    if (length == 0) {
        read.emptyLength = true;
        return read;
    }
    // Sized by the driver: a size the machine cannot hold is the key's own memory error
    // rather than the end of the process.
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[length]);
    if (!buffer) {
        read.status = TL_ERR_MEMORY;
        return read;
    }
    uint32_t delivered = length;
    read.status = binding->TLKeyReadSealData(sealNumber, buffer.get(), &delivered);
    if (read.status != TL_OK)
        return read;
    read.bytes = std::move(buffer);
    read.size = delivered < length ? delivered : length;
    return read;
}

} // namespace talvo
