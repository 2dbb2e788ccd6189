#pragma once

#include "DriverBuffer.h"

#include <cstddef>
#include <cstdint>

namespace talvo {

class KeyDriverBinding;

// A seal's picture as the key handed it out.
struct SealPictureRead {
    // 0, or the status of the call that failed (4 when the picture could not be held).
    int32_t status = 0;
    // The key reported no picture bytes at all; no second call was made.
    bool emptyLength = false;
    DriverBuffer picture{0};

    const uint8_t* bytes() const { return picture.bytes(); }
    std::size_t size() const { return picture.size(); }
};

// The two-call read of TLKeyReadSealData: the length, then the bytes into a buffer of that
// length, however large (a seal picture may take megabytes). Only bytes within the buffer
// count, whatever length the driver claims afterwards.
SealPictureRead readSealPicture(KeyDriverBinding& binding, int32_t sealNumber);

} // namespace talvo
