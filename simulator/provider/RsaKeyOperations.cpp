#include "RsaKeyOperations.h"

#include "OsslLibrary.h"

#include <openssl/core_names.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <memory>

namespace talvo::csp {

namespace {

struct PkeyCtxDeleter {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxDeleter>;

enum class Operation { Sign, Verify, Encrypt, Decrypt };

PkeyCtx prepared(EVP_PKEY* key, Operation operation)
{
    const OsslLibrary& library = OsslLibrary::instance();
    if (!key || !library.isReady())
        return nullptr;
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(library.context(), key, nullptr));
    if (!ctx)
        return nullptr;
    int ok = 0;
    switch (operation) {
    case Operation::Sign:
        ok = EVP_PKEY_sign_init(ctx.get());
        break;
    case Operation::Verify:
        ok = EVP_PKEY_verify_init(ctx.get());
        break;
    case Operation::Encrypt:
        ok = EVP_PKEY_encrypt_init(ctx.get());
        break;
    case Operation::Decrypt:
        ok = EVP_PKEY_decrypt_init(ctx.get());
        break;
    }
    if (ok != 1 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1)
        return nullptr;
    if ((operation == Operation::Sign || operation == Operation::Verify) &&
        EVP_PKEY_CTX_set_signature_md(ctx.get(), library.md5()) != 1)
        return nullptr;
    if (operation == Operation::Decrypt) {
        // Newer OpenSSL answers bad padding with a random message; the blob check needs the
        // failure. Older versions do not know the parameter and fail anyway.
        unsigned int implicitRejection = 0;
        const OSSL_PARAM params[] = {
            OSSL_PARAM_construct_uint("rsa_pkcs1_implicit_rejection", &implicitRejection), OSSL_PARAM_END};
        EVP_PKEY_CTX_set_params(ctx.get(), params);
    }
    return ctx;
}

ByteVector reversed(const BYTE* data, DWORD length)
{
    ByteVector bytes(data, data + length);
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

} // namespace

DWORD modulusBytes(EVP_PKEY* key)
{
    const int size = key ? EVP_PKEY_get_size(key) : 0;
    return size > 0 ? static_cast<DWORD>(size) : 0;
}

std::optional<ByteVector> signMd5Reversed(EVP_PKEY* key, const BYTE (&digest)[16])
{
    PkeyCtx ctx = prepared(key, Operation::Sign);
    size_t length = 0;
    if (!ctx || EVP_PKEY_sign(ctx.get(), nullptr, &length, digest, sizeof digest) != 1)
        return std::nullopt;
    ByteVector signature(length);
    if (EVP_PKEY_sign(ctx.get(), signature.data(), &length, digest, sizeof digest) != 1)
        return std::nullopt;
    signature.resize(length);
    std::reverse(signature.begin(), signature.end());
    return signature;
}

bool verifyMd5Reversed(EVP_PKEY* key, const BYTE (&digest)[16], const BYTE* signature, DWORD length)
{
    if (length != modulusBytes(key))
        return false;
    PkeyCtx ctx = prepared(key, Operation::Verify);
    const ByteVector bigEndian = reversed(signature, length);
    return ctx && EVP_PKEY_verify(ctx.get(), bigEndian.data(), bigEndian.size(), digest, sizeof digest) == 1;
}

std::optional<ByteVector> encryptReversed(EVP_PKEY* key, const BYTE* data, DWORD length)
{
    PkeyCtx ctx = prepared(key, Operation::Encrypt);
    size_t outLength = 0;
    if (!ctx || EVP_PKEY_encrypt(ctx.get(), nullptr, &outLength, data, length) != 1)
        return std::nullopt;
    ByteVector out(outLength);
    if (EVP_PKEY_encrypt(ctx.get(), out.data(), &outLength, data, length) != 1)
        return std::nullopt;
    out.resize(outLength);
    std::reverse(out.begin(), out.end());
    return out;
}

std::optional<ByteVector> decryptReversed(EVP_PKEY* key, const BYTE* data, DWORD length)
{
    if (length != modulusBytes(key))
        return std::nullopt;
    PkeyCtx ctx = prepared(key, Operation::Decrypt);
    const ByteVector bigEndian = reversed(data, length);
    size_t outLength = 0;
    if (!ctx || EVP_PKEY_decrypt(ctx.get(), nullptr, &outLength, bigEndian.data(), bigEndian.size()) != 1)
        return std::nullopt;
    ByteVector out(outLength);
    if (EVP_PKEY_decrypt(ctx.get(), out.data(), &outLength, bigEndian.data(), bigEndian.size()) != 1)
        return std::nullopt;
    out.resize(outLength);
    return out;
}

} // namespace talvo::csp
