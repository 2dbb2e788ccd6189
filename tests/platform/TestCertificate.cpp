#include "TestCertificate.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <memory>
#include <stdexcept>

namespace talvo::testing {

namespace {

void require(bool good, const char* what)
{
    if (!good)
        throw std::runtime_error(std::string("cannot make the test certificate: ") + what);
}

void addName(X509_NAME* name, const char* field, const char* value)
{
    require(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(value), -1, -1, 0) == 1,
            field);
}

TestCertificate make(const QByteArray& serial, const char* commonName)
{
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    const std::unique_ptr<X509, decltype(&X509_free)> certificate(X509_new(), X509_free);
    require(key && certificate, "allocation");
    require(X509_set_version(certificate.get(), X509_VERSION_3) == 1, "version");
    const std::unique_ptr<BIGNUM, decltype(&BN_free)> number(
        BN_bin2bn(reinterpret_cast<const unsigned char*>(serial.constData()), static_cast<int>(serial.size()),
                  nullptr),
        BN_free);
    require(number && BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate.get())), "serial");
    require(ASN1_TIME_set_string(X509_getm_notBefore(certificate.get()), "20240102030405Z") == 1 &&
                ASN1_TIME_set_string(X509_getm_notAfter(certificate.get()), "20340102030405Z") == 1,
            "validity");
    X509_NAME* subject = X509_get_subject_name(certificate.get());
    addName(subject, "C", "CN");
    addName(subject, "O", "测试单位");
    addName(subject, "CN", commonName);
    X509_NAME* issuer = X509_get_issuer_name(certificate.get());
    addName(issuer, "CN", "Talvo Test CA");
    require(X509_set_pubkey(certificate.get(), key.get()) == 1, "key");
    require(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "signature");

    TestCertificate result;
    const int size = i2d_X509(certificate.get(), nullptr);
    require(size > 0, "encoding");
    result.der.resize(size);
    auto* cursor = reinterpret_cast<unsigned char*>(result.der.data());
    require(i2d_X509(certificate.get(), &cursor) == size, "encoding");
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    require(bio && PEM_write_bio_X509(bio.get(), certificate.get()) == 1, "PEM");
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    result.pem = QByteArray(data, static_cast<qsizetype>(length));
    return result;
}

} // namespace

const TestCertificate& testCertificate()
{
    static const TestCertificate certificate = make(QByteArray::fromHex("0123456789ABCDEF01"), "TLV-TEST-1");
    return certificate;
}

const TestCertificate& hostileCertificate()
{
    static const TestCertificate certificate =
        make(QByteArray(8192, '\x5A'), "TLV-\u202Egpj.exe\r\nCN = forged");
    return certificate;
}

} // namespace talvo::testing
