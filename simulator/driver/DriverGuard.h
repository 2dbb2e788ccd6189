#pragma once

#include "KeyCall.h"

#include <cstdint>
#include <exception>
#include <new>
#include <string_view>

namespace talvo::sim {

// Runs one exported function's body, handing it the function's name, so that nothing it throws crosses the C
// boundary: lack of memory answers 4, anything else 2.
template <class Body> int32_t guarded(const char* function, Body&& body) noexcept
{
    try {
        return body(function);
    } catch (const std::bad_alloc&) {
        driverMessage(function, "out of memory");
        return TL_ERR_MEMORY;
    } catch (const std::exception& e) {
        driverMessage(function, e.what());
        return TL_ERR_ACCESS;
    } catch (...) {
        driverMessage(function, "unexpected failure");
        return TL_ERR_ACCESS;
    }
}

// The usual body of an exported function: guarded, with the key held for it; a key that is
// absent, damaged or told to fail answers before the body runs.
template <class Body> int32_t onKey(const char* function, KeyCall::Access access, Body&& body) noexcept
{
    return guarded(function, [&](const char* name) -> int32_t {
        KeyCall call(name, access);
        if (call.status() != TL_OK)
            return call.status();
        return body(call);
    });
}

inline bool isSelector(int32_t selector)
{
    return selector >= 0 && selector <= 4;
}

// PIN lengths the key accepts.
inline constexpr int32_t kMaxPinLength = 256;

inline bool isPinLength(int32_t length)
{
    return length >= 0 && length <= kMaxPinLength;
}

// The two-call form over bytes that only the driver knows the size of: without a buffer the
// length receives the size; with one, at most *length bytes are written, and a buffer too
// small answers 4 with the size needed and is left untouched.
int32_t deliverBytes(std::string_view bytes, uint8_t* buffer, uint32_t* length);

} // namespace talvo::sim
