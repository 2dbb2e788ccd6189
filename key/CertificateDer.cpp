#include "CertificateDer.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>

namespace talvo {

namespace {

struct X509Deleter {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

} // namespace

std::optional<std::vector<uint8_t>> certificateDer(const QByteArray& keyBytes)
{
    std::unique_ptr<X509, X509Deleter> certificate;
    if (keyBytes.contains("-----BEGIN CERTIFICATE-----")) {
        std::unique_ptr<BIO, BioDeleter> bio(
            BIO_new_mem_buf(keyBytes.constData(), static_cast<int>(keyBytes.size())));
        certificate.reset(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    } else {
        const auto* cursor = reinterpret_cast<const unsigned char*>(keyBytes.constData());
        certificate.reset(d2i_X509(nullptr, &cursor, static_cast<long>(keyBytes.size())));
    }
    if (!certificate)
        return std::nullopt;
    unsigned char* der = nullptr;
    const int length = i2d_X509(certificate.get(), &der);
    if (length <= 0)
        return std::nullopt;
    std::vector<uint8_t> bytes(der, der + length);
    OPENSSL_free(der);
    return bytes;
}

} // namespace talvo
