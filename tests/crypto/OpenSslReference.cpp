#include "OpenSslReference.h"

#include <openssl/pem.h>
#include <openssl/provider.h>
#include <openssl/rsa.h>

#include <algorithm>
#include <cstdio>

namespace talvo::testing {

namespace {

OSSL_LIB_CTX* legacyContext()
{
    // Lives for the test program, with both providers single DES needs.
    static OSSL_LIB_CTX* context = [] {
        OSSL_LIB_CTX* made = OSSL_LIB_CTX_new();
        OSSL_PROVIDER_load(made, "default");
        OSSL_PROVIDER_load(made, "legacy");
        return made;
    }();
    return context;
}

} // namespace

PkeyPtr loadPemKey(const std::filesystem::path& file)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    return PkeyPtr(in ? PEM_read_PrivateKey(in.get(), nullptr, nullptr, nullptr) : nullptr);
}

Bytes reversedBytes(Bytes bytes)
{
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

Bytes md5Of(const Bytes& data)
{
    EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
    Bytes digest(16);
    unsigned int length = 0;
    EVP_Digest(data.data(), data.size(), digest.data(), &length, md5, nullptr);
    EVP_MD_free(md5);
    return digest;
}

bool verifiesAsPkcs1Md5(EVP_PKEY* key, const Bytes& data, const Bytes& signature)
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    EVP_PKEY_CTX* pkeyCtx = nullptr;
    if (EVP_DigestVerifyInit_ex(ctx.get(), &pkeyCtx, "MD5", nullptr, nullptr, key, nullptr) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(pkeyCtx, RSA_PKCS1_PADDING) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), signature.data(), signature.size(), data.data(), data.size()) == 1;
}

std::optional<Bytes> rsaPkcs1Decrypt(EVP_PKEY* key, const Bytes& ciphertext)
{
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(EVP_PKEY_CTX_new(key, nullptr),
                                                                    &EVP_PKEY_CTX_free);
    size_t length = 0;
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) != 1 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1 ||
        EVP_PKEY_decrypt(ctx.get(), nullptr, &length, ciphertext.data(), ciphertext.size()) != 1)
        return std::nullopt;
    Bytes out(length);
    if (EVP_PKEY_decrypt(ctx.get(), out.data(), &length, ciphertext.data(), ciphertext.size()) != 1)
        return std::nullopt;
    out.resize(length);
    return out;
}

std::optional<Bytes> desCbc(const Bytes& key, const Bytes& data, bool encrypt)
{
    if (key.size() != 8)
        return std::nullopt;
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(legacyContext(), "DES-CBC", nullptr);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        &EVP_CIPHER_CTX_free);
    const unsigned char iv[8] = {};
    Bytes out(data.size() + 16);
    int length = 0;
    int finalLength = 0;
    const bool ok =
        cipher && ctx &&
        EVP_CipherInit_ex2(ctx.get(), cipher, key.data(), iv, encrypt ? 1 : 0, nullptr) == 1 &&
        EVP_CipherUpdate(ctx.get(), out.data(), &length, data.data(), static_cast<int>(data.size())) == 1 &&
        EVP_CipherFinal_ex(ctx.get(), out.data() + length, &finalLength) == 1;
    EVP_CIPHER_free(cipher);
    if (!ok)
        return std::nullopt;
    out.resize(static_cast<size_t>(length + finalLength));
    return out;
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

} // namespace talvo::testing
