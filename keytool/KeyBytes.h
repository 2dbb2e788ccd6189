#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>

namespace talvo::keytool {

// Bytes of a length only the driver knows, fetched in the two-call form: the length with no
// buffer, then the bytes into a zero-filled DriverBuffer of that length; a length it refuses is
// the key's memory error (status 4).
struct KeyBytes {
    int32_t status = 0;
    QByteArray bytes;

    // The call is made with (buffer or null, length). A failed first call stops there; a
    // second call's claim beyond the buffer is not believed.
    static KeyBytes read(const std::function<int32_t(uint8_t*, uint32_t*)>& call);
};

} // namespace talvo::keytool
