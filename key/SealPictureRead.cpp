#include "SealPictureRead.h"

#include "TwoCallRead.h"
#include "device/KeyDriverBinding.h"

#include <limits>

namespace talvo {

SealPictureRead readSealPicture(KeyDriverBinding& binding, int32_t sealNumber)
{
    TwoCallRead read(
        [&binding, sealNumber](uint8_t* buffer, uint32_t* length) {
            return binding.TLKeyReadSealData(sealNumber, buffer, length);
        },
        std::numeric_limits<uint32_t>::max());
    SealPictureRead picture;
    picture.status = read.askLength();
    if (picture.status != TL_OK)
        return picture;
    if (read.reportedLength() == 0) {
        picture.emptyLength = true;
        return picture;
    }
    picture.status = read.readBytes();
    if (picture.status == TL_OK)
        picture.picture = read.takeBuffer();
    return picture;
}

} // namespace talvo
