#include "SoftwareSigner.h"

#include <openssl/rsa.h>
#include <openssl/x509.h>

namespace talvo::testing {

namespace {

struct X509Deleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct PkeyCtxDeleter {
    void operator()(EVP_PKEY_CTX* ctx) const { EVP_PKEY_CTX_free(ctx); }
};

} // namespace

SoftwareSigner::SoftwareSigner() : m_key(EVP_RSA_gen(2048))
{
    std::unique_ptr<X509, X509Deleter> certificate(X509_new());
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 3600L * 24 * 365);
    X509_set_pubkey(certificate.get(), m_key.get());
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>("Talvo test seal"), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), name);
    X509_sign(certificate.get(), m_key.get(), EVP_sha256());
    unsigned char* der = nullptr;
    const int length = i2d_X509(certificate.get(), &der);
    if (length > 0)
        m_certificate.assign(der, der + length);
    OPENSSL_free(der);
}

void SoftwareSigner::signWithAnotherKey()
{
    m_signingKey.reset(EVP_RSA_gen(2048));
}

bool SoftwareSigner::certificate(std::vector<uint8_t>& der, std::string& error)
{
    der = m_certificate;
    error = "no certificate";
    return !der.empty();
}

bool SoftwareSigner::signSha256(const std::array<uint8_t, 32>& digest, std::vector<uint8_t>& signature,
                                std::string& error)
{
    ++m_signatures;
    EVP_PKEY* key = m_signingKey ? m_signingKey.get() : m_key.get();
    std::unique_ptr<EVP_PKEY_CTX, PkeyCtxDeleter> ctx(EVP_PKEY_CTX_new(key, nullptr));
    std::size_t length = 0;
    if (ctx && EVP_PKEY_sign_init(ctx.get()) == 1 &&
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) == 1 &&
        EVP_PKEY_CTX_set_signature_md(ctx.get(), EVP_sha256()) == 1 &&
        EVP_PKEY_sign(ctx.get(), nullptr, &length, digest.data(), digest.size()) == 1) {
        signature.resize(length);
        if (EVP_PKEY_sign(ctx.get(), signature.data(), &length, digest.data(), digest.size()) == 1) {
            signature.resize(length);
            return true;
        }
    }
    error = "cannot sign";
    return false;
}

} // namespace talvo::testing
