#include "CmsSignature.h"

#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <algorithm>
#include <memory>
#include <string>

namespace talvo::pdf {

namespace {

struct X509Deleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct CmsDeleter {
    void operator()(CMS_ContentInfo* cms) const { CMS_ContentInfo_free(cms); }
};
struct PkeyCtxDeleter {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};
struct OpenSslBytesDeleter {
    void operator()(unsigned char* bytes) const { OPENSSL_free(bytes); }
};
using OpenSslBytes = std::unique_ptr<unsigned char, OpenSslBytesDeleter>;

std::vector<uint8_t> derLength(std::size_t length)
{
    if (length < 0x80)
        return {static_cast<uint8_t>(length)};
    std::vector<uint8_t> digits;
    for (std::size_t rest = length; rest > 0; rest >>= 8)
        digits.insert(digits.begin(), static_cast<uint8_t>(rest & 0xFF));
    digits.insert(digits.begin(), static_cast<uint8_t>(0x80 | digits.size()));
    return digits;
}

// What the signature covers: the signed attributes as a DER SET OF, its members in the order
// of their encodings.
bool signedAttributesDer(CMS_SignerInfo* signerInfo, std::vector<uint8_t>& der)
{
    std::vector<std::string> members;
    const int count = CMS_signed_get_attr_count(signerInfo);
    for (int i = 0; i < count; ++i) {
        unsigned char* encoded = nullptr;
        const int length = i2d_X509_ATTRIBUTE(CMS_signed_get_attr(signerInfo, i), &encoded);
        const OpenSslBytes owner(encoded);
        if (length <= 0)
            return false;
        members.emplace_back(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(length));
    }
    std::sort(members.begin(), members.end());
    std::vector<uint8_t> content;
    for (const std::string& member : members)
        content.insert(content.end(), member.begin(), member.end());
    der = {0x31};
    const std::vector<uint8_t> length = derLength(content.size());
    der.insert(der.end(), length.begin(), length.end());
    der.insert(der.end(), content.begin(), content.end());
    return true;
}

bool sha256(const std::vector<uint8_t>& bytes, std::array<uint8_t, 32>& digest)
{
    unsigned int length = 0;
    return EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr) == 1 &&
           length == digest.size();
}

bool verifies(EVP_PKEY* publicKey, const std::array<uint8_t, 32>& digest,
              const std::vector<uint8_t>& signature)
{
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxDeleter> ctx(EVP_PKEY_CTX_new(publicKey, nullptr));
    return ctx && EVP_PKEY_verify_init(ctx.get()) == 1 &&
           EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1 &&
           EVP_PKEY_CTX_set_signature_md(ctx.get(), EVP_sha256()) == 1 &&
           EVP_PKEY_verify(ctx.get(), signature.data(), signature.size(), digest.data(), digest.size()) == 1;
}

} // namespace

bool buildCmsSignature(const std::array<uint8_t, 32>& documentDigest, DigestSigner& signer,
                       std::vector<uint8_t>& der, std::string& error)
{
    std::vector<uint8_t> certificateDer;
    if (!signer.certificate(certificateDer, error))
        return false;
    const unsigned char* cursor = certificateDer.data();
    std::unique_ptr<X509, X509Deleter> certificate(
        d2i_X509(nullptr, &cursor, static_cast<long>(certificateDer.size())));
    if (!certificate || cursor != certificateDer.data() + certificateDer.size()) {
        error = "密钥中的证书无法读取";
        return false;
    }
    EVP_PKEY* publicKey = X509_get0_pubkey(certificate.get());
    if (!publicKey || EVP_PKEY_get_base_id(publicKey) != EVP_PKEY_RSA) {
        error = "密钥中的证书不是RSA证书";
        return false;
    }

    // The private key stays in the key: the signer info is built around the certificate's
    // public key and its signature value filled in afterwards.
    constexpr unsigned int kFlags = CMS_DETACHED | CMS_BINARY | CMS_PARTIAL | CMS_NOSMIMECAP | CMS_CADES;
    std::unique_ptr<CMS_ContentInfo, CmsDeleter> cms(CMS_sign(nullptr, nullptr, nullptr, nullptr, kFlags));
    CMS_SignerInfo* signerInfo =
        cms ? CMS_add1_signer(cms.get(), certificate.get(), publicKey, EVP_sha256(), kFlags) : nullptr;
    if (!signerInfo ||
        CMS_signed_add1_attr_by_NID(signerInfo, NID_pkcs9_contentType, V_ASN1_OBJECT,
                                    OBJ_nid2obj(NID_pkcs7_data), -1) != 1 ||
        CMS_signed_add1_attr_by_NID(signerInfo, NID_pkcs9_messageDigest, V_ASN1_OCTET_STRING,
                                    documentDigest.data(), static_cast<int>(documentDigest.size())) != 1) {
        error = "签名数据无法生成";
        return false;
    }
    std::vector<uint8_t> attributes;
    std::array<uint8_t, 32> attributesDigest{};
    if (!signedAttributesDer(signerInfo, attributes) || !sha256(attributes, attributesDigest)) {
        error = "签名数据无法生成";
        return false;
    }
    std::vector<uint8_t> signature;
    if (!signer.signSha256(attributesDigest, signature, error))
        return false;
    if (!verifies(publicKey, attributesDigest, signature)) {
        error = "密钥的签名与证书不符";
        return false;
    }
    ASN1_OCTET_STRING* value = CMS_SignerInfo_get0_signature(signerInfo);
    if (!value || ASN1_STRING_set(value, signature.data(), static_cast<int>(signature.size())) != 1) {
        error = "签名数据无法生成";
        return false;
    }
    unsigned char* encoded = nullptr;
    const int length = i2d_CMS_ContentInfo(cms.get(), &encoded);
    const OpenSslBytes owner(encoded);
    if (length <= 0) {
        error = "签名数据无法生成";
        return false;
    }
    der.assign(encoded, encoded + length);
    return true;
}

} // namespace talvo::pdf
