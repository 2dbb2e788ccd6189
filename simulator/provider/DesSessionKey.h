#pragma once

#include "platform/WinCryptTypes.h"

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
    // A non-final call holds back its last block, since only the final call may strip padding:
    // so a stream whose last non-final call ended exactly at the end of the data still opens
    // with a final call on no bytes. Output can thus exceed input by one block.
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
    void resetDecryption();

    Bytes m_key;
    bool m_exportable;
    CipherCtx m_encryptCtx;
    CipherCtx m_decryptCtx;
    Bytes m_heldBlock{};
    bool m_hasHeldBlock = false;
};

} // namespace talvo::csp
