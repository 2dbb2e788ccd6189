#pragma once

#include "platform/cryptoapi/CryptoApi.h"

#include <utility>

namespace talvo {

// Owns one CryptoAPI handle and gives it back when it goes out of scope, so that every
// failure path releases what the operation acquired.
template <BOOL (*Destroy)(ULONG_PTR)> class ScopedCryptHandle {
public:
    ScopedCryptHandle() = default;
    ~ScopedCryptHandle() { reset(); }
    ScopedCryptHandle(const ScopedCryptHandle&) = delete;
    ScopedCryptHandle& operator=(const ScopedCryptHandle&) = delete;

    ULONG_PTR get() const { return m_handle; }
    // For the out parameter of the call that makes the handle.
    ULONG_PTR* receive()
    {
        reset();
        return &m_handle;
    }
    void reset()
    {
        if (m_handle != 0)
            Destroy(std::exchange(m_handle, 0));
    }

private:
    ULONG_PTR m_handle = 0;
};

inline BOOL releaseCryptContext(HCRYPTPROV context)
{
    return CryptReleaseContext(context, 0);
}

using ScopedCryptContext = ScopedCryptHandle<releaseCryptContext>;
using ScopedCryptKey = ScopedCryptHandle<CryptDestroyKey>;
using ScopedCryptHash = ScopedCryptHandle<CryptDestroyHash>;

} // namespace talvo
