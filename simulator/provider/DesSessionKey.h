#pragma once

#include "platform/cryptoapi/WinCryptTypes.h"

#include <openssl/evp.h>

#include <array>
#include <memory>

namespace talvo::csp {

// A DES message key in CBC mode with an all-zero IV and PKCS#5 padding, chained across calls
// until a final call, which resets the chaining. Encryption and decryption chain separately.
class DesSessionKey {
public:
    static constexpr DWORD kBlockSize = 8;
    using Bytes = std::array<BYTE, 8>;

    DesSessionKey(const Bytes& key, bool exportable);

    const Bytes& bytes() const { return m_key; }
    bool isExportable() const { return m_exportable; }

    // Both return ERROR_SUCCESS or the error code; the length rules are CryptEncrypt's.
    DWORD encrypt(bool final, BYTE* data, DWORD* length, DWORD bufferSize);
    // As the Microsoft providers decrypt: never lengthens the data; only the final call strips
    // the padding, and a final call on no bytes is refused with NTE_BAD_DATA.
    DWORD decrypt(bool final, BYTE* data, DWORD* length);

    // Odd parity in every byte, as DES keys carry it.
    static Bytes withOddParity(Bytes key);

private:
    struct CipherCtxDeleter {
        void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
    };
    using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxDeleter>;

    bool restart(CipherCtx& ctx, bool encrypting);
    bool run(EVP_CIPHER_CTX* ctx, BYTE* data, DWORD length);

    Bytes m_key;
    bool m_exportable;
    CipherCtx m_encryptCtx;
    CipherCtx m_decryptCtx;
};

} // namespace talvo::csp
