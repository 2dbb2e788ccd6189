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

enum class Operation { Verify, Encrypt };

PkeyCtx prepared(EVP_PKEY* key, Operation operation, const EVP_MD* md = nullptr)
{
    const OsslLibrary& library = OsslLibrary::instance();
    if (!key || !library.isReady())
        return nullptr;
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(library.context(), key, nullptr));
    if (!ctx)
        return nullptr;
    int ok = 0;
    switch (operation) {
    case Operation::Verify:
        ok = EVP_PKEY_verify_init(ctx.get());
        break;
    case Operation::Encrypt:
        ok = EVP_PKEY_encrypt_init(ctx.get());
        break;
    }
    if (ok != 1 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1)
        return nullptr;
    if (operation == Operation::Verify && (!md || EVP_PKEY_CTX_set_signature_md(ctx.get(), md) != 1))
        return nullptr;
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

// The private half signs wherever it lives: the DigestInfo is built here.
std::optional<ByteVector> signDigestReversed(sim::ContainerKey& key, ALG_ID algorithm,
                                             const ByteVector& digest)
{
    const std::string_view bytes(reinterpret_cast<const char*>(digest.data()), digest.size());
    if (algorithm != CALG_MD5 && algorithm != CALG_SHA_256)
        return std::nullopt;
    const std::optional<std::string> signature =
        key.signDigestInfo(algorithm == CALG_MD5 ? sim::md5DigestInfo(bytes) : sim::sha256DigestInfo(bytes));
    if (!signature)
        return std::nullopt;
    return ByteVector(signature->rbegin(), signature->rend());
}

bool verifyDigestReversed(EVP_PKEY* key, ALG_ID algorithm, const ByteVector& digest, const BYTE* signature,
                          DWORD length)
{
    if (length != modulusBytes(key))
        return false;
    const OsslLibrary& library = OsslLibrary::instance();
    const EVP_MD* md = algorithm == CALG_MD5       ? library.md5()
                       : algorithm == CALG_SHA_256 ? library.sha256()
                                                   : nullptr;
    PkeyCtx ctx = prepared(key, Operation::Verify, md);
    const ByteVector bigEndian = reversed(signature, length);
    return ctx &&
           EVP_PKEY_verify(ctx.get(), bigEndian.data(), bigEndian.size(), digest.data(), digest.size()) == 1;
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

std::optional<ByteVector> decryptReversed(sim::ContainerKey& key, const BYTE* data, DWORD length)
{
    if (length != modulusBytes(key.publicKey()))
        return std::nullopt;
    const ByteVector bigEndian = reversed(data, length);
    const std::optional<std::string> plain =
        key.decrypt(std::string_view(reinterpret_cast<const char*>(bigEndian.data()), bigEndian.size()));
    if (!plain)
        return std::nullopt;
    return ByteVector(plain->begin(), plain->end());
}

} // namespace talvo::csp
