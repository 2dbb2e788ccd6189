#include "ProviderDigestSigning.h"

#include "platform/cryptoapi/CryptoApi.h"
#include "platform/cryptoapi/KeyProvider.h"

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/x509.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace talvo {

namespace {

struct ContextReleaser {
    HCRYPTPROV handle = 0;
    ~ContextReleaser()
    {
        if (handle)
            CryptReleaseContext(handle, 0);
    }
};
struct KeyDestroyer {
    HCRYPTKEY handle = 0;
    ~KeyDestroyer()
    {
        if (handle)
            CryptDestroyKey(handle);
    }
};
struct HashDestroyer {
    HCRYPTHASH handle = 0;
    ~HashDestroyer()
    {
        if (handle)
            CryptDestroyHash(handle);
    }
};
struct BignumDeleter {
    void operator()(BIGNUM* number) const { BN_free(number); }
};
using Bignum = std::unique_ptr<BIGNUM, BignumDeleter>;
struct X509Deleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};

// A PUBLICKEYBLOB's header, RSAPUBKEY and modulus, in bytes.
constexpr std::size_t kBlobHeaderSize = 8;
constexpr std::size_t kRsaPubKeySize = 12;
constexpr std::size_t kLongestBlob = kBlobHeaderSize + kRsaPubKeySize + 2048;

std::string failure(const char* step)
{
    char code[16] = {};
    std::snprintf(code, sizeof code, "0x%08X", GetLastError());
    return std::string(step) + " " + code;
}

uint32_t littleEndian(const std::vector<BYTE>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// The provider's signature key, from its PUBLICKEYBLOB; false for a blob of another form.
bool providerKey(const std::vector<BYTE>& blob, Bignum& modulus, Bignum& exponent)
{
    if (blob.size() < kBlobHeaderSize + kRsaPubKeySize || blob[0] != PUBLICKEYBLOB ||
        littleEndian(blob, kBlobHeaderSize) != 0x31415352u)
        return false;
    const uint32_t bits = littleEndian(blob, kBlobHeaderSize + 4);
    const std::size_t length = bits / 8;
    if (bits % 8 != 0 || length == 0 || blob.size() < kBlobHeaderSize + kRsaPubKeySize + length)
        return false;
    modulus.reset(
        BN_lebin2bn(blob.data() + kBlobHeaderSize + kRsaPubKeySize, static_cast<int>(length), nullptr));
    exponent.reset(BN_new());
    return modulus && exponent && BN_set_word(exponent.get(), littleEndian(blob, kBlobHeaderSize + 8)) == 1;
}

bool certificateCarries(const std::vector<uint8_t>& certificateDer, const BIGNUM* modulus,
                        const BIGNUM* exponent)
{
    const unsigned char* cursor = certificateDer.data();
    std::unique_ptr<X509, X509Deleter> certificate(
        d2i_X509(nullptr, &cursor, static_cast<long>(certificateDer.size())));
    EVP_PKEY* key = certificate ? X509_get0_pubkey(certificate.get()) : nullptr;
    if (!key || EVP_PKEY_get_base_id(key) != EVP_PKEY_RSA)
        return false;
    BIGNUM* n = nullptr;
    BIGNUM* e = nullptr;
    EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n);
    EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_E, &e);
    const Bignum certificateModulus(n);
    const Bignum certificateExponent(e);
    return n && e && BN_cmp(n, modulus) == 0 && BN_cmp(e, exponent) == 0;
}

} // namespace

ProviderSignature signSha256WithProvider(const std::vector<uint8_t>& certificateDer,
                                         const std::array<uint8_t, 32>& digest)
{
    ProviderSignature result;
    ContextReleaser context;
    if (!CryptAcquireContextA(&context.handle, nullptr, kKeyProviderName, PROV_RSA_FULL, 0)) {
        result.error = "无法打开密钥的密码服务：" + failure("CryptAcquireContext");
        return result;
    }
    // What the provider must offer is asked first: a provider that cannot sign a digest given
    // from outside is refused before anything else.
    HashDestroyer hash;
    if (!CryptCreateHash(context.handle, CALG_SHA_256, 0, 0, &hash.handle)) {
        result.error = "密钥的密码服务不支持SHA-256签名：" + failure("CryptCreateHash");
        return result;
    }
    if (!CryptSetHashParam(hash.handle, HP_HASHVAL, digest.data(), 0)) {
        result.error = "密钥的密码服务不能对给定的摘要签名：" + failure("CryptSetHashParam");
        return result;
    }
    KeyDestroyer userKey;
    DWORD blobLength = 0;
    if (!CryptGetUserKey(context.handle, AT_SIGNATURE, &userKey.handle) ||
        !CryptExportKey(userKey.handle, 0, PUBLICKEYBLOB, 0, nullptr, &blobLength) ||
        blobLength > kLongestBlob) {
        result.error = "无法读取密钥的签名密钥：" + failure("CryptExportKey");
        return result;
    }
    std::vector<BYTE> blob(blobLength);
    Bignum modulus;
    Bignum exponent;
    if (!CryptExportKey(userKey.handle, 0, PUBLICKEYBLOB, 0, blob.data(), &blobLength) ||
        !providerKey(
            std::vector<BYTE>(blob.begin(), blob.begin() + std::min<std::size_t>(blobLength, blob.size())),
            modulus, exponent)) {
        result.error = "无法读取密钥的签名密钥：" + failure("CryptExportKey");
        return result;
    }
    if (!certificateCarries(certificateDer, modulus.get(), exponent.get())) {
        result.error = "密钥中的证书与密钥的签名密钥不符，未签名";
        return result;
    }

    DWORD length = 0;
    if (!CryptSignHashA(hash.handle, AT_SIGNATURE, nullptr, 0, nullptr, &length) || length == 0 ||
        length > 1024) {
        result.error = "密钥签名失败：" + failure("CryptSignHash");
        return result;
    }
    std::vector<BYTE> signature(length);
    if (!CryptSignHashA(hash.handle, AT_SIGNATURE, nullptr, 0, signature.data(), &length) ||
        length != signature.size()) {
        result.error = "密钥签名失败：" + failure("CryptSignHash");
        return result;
    }
    // CryptoAPI gives the signature least significant byte first; CMS carries it the other way.
    result.signature.assign(signature.rbegin(), signature.rend());
    result.ok = true;
    return result;
}

} // namespace talvo
