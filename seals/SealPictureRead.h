#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace talvo {

class KeyDriverBinding;

// A seal's picture as the key handed it out.
struct SealPictureRead {
    // 0, or the status of the call that failed (4 when the picture could not be held).
    int32_t status = 0;
    // The key reported no picture bytes at all; no second call was made.
    bool emptyLength = false;
    std::unique_ptr<uint8_t[]> bytes;
    std::size_t size = 0;
};

// The two-call read of TLKeyReadSealData: the length, then the bytes into a buffer of that
// length. Only bytes within the buffer count, whatever length the driver claims afterwards.
// Without a binding the key answers as an absent one.
SealPictureRead readSealPicture(KeyDriverBinding* binding, int32_t sealNumber);

} // namespace talvo
