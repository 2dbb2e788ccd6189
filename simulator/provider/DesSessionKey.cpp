#include "DesSessionKey.h"

#include "OsslLibrary.h"

#include <bit>
#include <cstring>

namespace talvo::csp {

DesSessionKey::DesSessionKey(const Bytes& key, bool exportable) : m_key(key), m_exportable(exportable) {}

DesSessionKey::Bytes DesSessionKey::withOddParity(Bytes key)
{
    for (BYTE& byte : key) {
        if (std::popcount(static_cast<unsigned>(byte)) % 2 == 0)
            byte ^= 1;
    }
    return key;
}

bool DesSessionKey::restart(CipherCtx& ctx, bool encrypting)
{
    static constexpr unsigned char zeroIv[kBlockSize] = {};
    if (!ctx)
        ctx.reset(EVP_CIPHER_CTX_new());
    if (!ctx || !OsslLibrary::instance().isReady())
        return false;
    if (EVP_CipherInit_ex2(ctx.get(), OsslLibrary::instance().desCbc(), m_key.data(), zeroIv,
                           encrypting ? 1 : 0, nullptr) != 1)
        return false;
    return EVP_CIPHER_CTX_set_padding(ctx.get(), 0) == 1;
}

bool DesSessionKey::run(EVP_CIPHER_CTX* ctx, BYTE* data, DWORD length)
{
    if (length == 0)
        return true;
    int written = 0;
    return EVP_CipherUpdate(ctx, data, &written, data, static_cast<int>(length)) == 1 &&
           written == static_cast<int>(length);
}

DWORD DesSessionKey::encrypt(bool final, BYTE* data, DWORD* length, DWORD bufferSize)
{
    const DWORD plainLength = *length;
    if (!final && plainLength % kBlockSize != 0)
        return NTE_BAD_DATA;
    const DWORD needed = final ? (plainLength / kBlockSize + 1) * kBlockSize : plainLength;
    if (needed < plainLength)
        return NTE_BAD_LEN;
    if (!data) {
        *length = needed;
        return ERROR_SUCCESS;
    }
    if (bufferSize < needed) {
        *length = needed;
        return ERROR_MORE_DATA;
    }
    if (!m_encryptCtx && !restart(m_encryptCtx, true))
        return NTE_FAIL;
    if (final) {
        const BYTE pad = static_cast<BYTE>(needed - plainLength);
        std::memset(data + plainLength, pad, pad);
    }
    const bool ok = run(m_encryptCtx.get(), data, needed);
    if (final || !ok)
        m_encryptCtx.reset();
    if (!ok)
        return NTE_FAIL;
    *length = needed;
    return ERROR_SUCCESS;
}

DWORD DesSessionKey::decrypt(bool final, BYTE* data, DWORD* length)
{
    const DWORD cipherLength = *length;
    if (cipherLength % kBlockSize != 0 || (final && cipherLength == 0)) {
        if (final)
            m_decryptCtx.reset();
        return NTE_BAD_DATA;
    }
    if (cipherLength == 0)
        return ERROR_SUCCESS;
    if ((!m_decryptCtx && !restart(m_decryptCtx, false)) || !run(m_decryptCtx.get(), data, cipherLength)) {
        m_decryptCtx.reset();
        return NTE_FAIL;
    }
    if (!final)
        return ERROR_SUCCESS;

    m_decryptCtx.reset();
    const BYTE pad = data[cipherLength - 1];
    if (pad == 0 || pad > kBlockSize)
        return NTE_BAD_DATA;
    for (DWORD i = cipherLength - pad; i < cipherLength; ++i) {
        if (data[i] != pad)
            return NTE_BAD_DATA;
    }
    *length = cipherLength - pad;
    return ERROR_SUCCESS;
}

} // namespace talvo::csp
