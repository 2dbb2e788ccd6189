#include "PemContainerKey.h"

#include <openssl/core_names.h>
#include <openssl/rsa.h>

namespace talvo::sim {

namespace {

struct PkeyCtxDeleter {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
using PkeyCtx = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxDeleter>;

using Step = int (*)(EVP_PKEY_CTX*, unsigned char*, size_t*, const unsigned char*, size_t);

std::optional<std::string> run(EVP_PKEY_CTX* ctx, Step step, std::string_view input)
{
    const auto* in = reinterpret_cast<const unsigned char*>(input.data());
    size_t length = 0;
    if (!ctx || step(ctx, nullptr, &length, in, input.size()) != 1)
        return std::nullopt;
    std::string out(length, '\0');
    if (step(ctx, reinterpret_cast<unsigned char*>(out.data()), &length, in, input.size()) != 1)
        return std::nullopt;
    out.resize(length);
    return out;
}

} // namespace

PemContainerKey::PemContainerKey(EvpPkeyPtr key, OSSL_LIB_CTX* library)
    : m_key(std::move(key)), m_library(library)
{
}

std::unique_ptr<PemContainerKey> PemContainerKey::load(const std::filesystem::path& pemFile,
                                                       std::string* error, OSSL_LIB_CTX* library)
{
    EvpPkeyPtr key = loadPrivateKey(pemFile, error);
    return key ? std::make_unique<PemContainerKey>(std::move(key), library) : nullptr;
}

std::optional<std::string> PemContainerKey::signDigestInfo(std::string_view digestInfo)
{
    // Without a digest named, PKCS#1 padding signs the DigestInfo as it is given.
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(m_library, m_key.get(), nullptr));
    if (!ctx || EVP_PKEY_sign_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1)
        return std::nullopt;
    return run(ctx.get(), EVP_PKEY_sign, digestInfo);
}

std::optional<std::string> PemContainerKey::decrypt(std::string_view ciphertext)
{
    PkeyCtx ctx(EVP_PKEY_CTX_new_from_pkey(m_library, m_key.get(), nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1)
        return std::nullopt;
    // Newer OpenSSL answers bad padding with a random message; callers need the failure.
    // Older versions do not know the parameter and fail anyway.
    unsigned int implicitRejection = 0;
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_uint("rsa_pkcs1_implicit_rejection", &implicitRejection), OSSL_PARAM_END};
    EVP_PKEY_CTX_set_params(ctx.get(), params);
    return run(ctx.get(), EVP_PKEY_decrypt, ciphertext);
}

} // namespace talvo::sim
