#pragma once

#include "TwoCallRead.h"

#include <QByteArray>

#include <cstdint>

namespace talvo {

// Bytes of a length only the driver knows, read in both steps of the two-call form.
struct KeyBytes {
    int32_t status = 0;
    QByteArray bytes;
};

// A failed first call stops there; the second call always gets a buffer (one byte for an
// empty answer) rather than a length query; a length the buffer refuses is the key's memory
// error (status 4), and a claim beyond the buffer is not believed.
KeyBytes readKeyBytes(const LengthCall& call);

} // namespace talvo
