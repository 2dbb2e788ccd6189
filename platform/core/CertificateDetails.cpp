#include "CertificateDetails.h"

#include <QFile>
#include <QTimeZone>

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>

namespace talvo {

namespace {

template <class T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using X509Ptr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using BignumPtr = std::unique_ptr<BIGNUM, Deleter<BIGNUM, BN_free>>;

void openSslFree(char* text)
{
    OPENSSL_free(text);
}
using OpenSslText = std::unique_ptr<char, Deleter<char, openSslFree>>;

X509Ptr parse(const QByteArray& bytes)
{
    if (bytes.contains("-----BEGIN")) {
        const BioPtr bio(BIO_new_mem_buf(bytes.constData(), static_cast<int>(bytes.size())));
        return X509Ptr(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    }
    const auto* cursor = reinterpret_cast<const unsigned char*>(bytes.constData());
    return X509Ptr(d2i_X509(nullptr, &cursor, static_cast<long>(bytes.size())));
}

QString nameText(const X509_NAME* name)
{
    const BioPtr bio(BIO_new(BIO_s_mem()));
    // One line as "openssl x509 -subject" prints it, with UTF-8 passed through unescaped.
    if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_ONELINE & ~ASN1_STRFLGS_ESC_MSB) < 0)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return size > 0 ? QString::fromUtf8(data, static_cast<qsizetype>(size)) : QString();
}

QString commonName(const X509_NAME* name)
{
    int index = -1;
    for (int next = -1; (next = X509_NAME_get_index_by_NID(name, NID_commonName, next)) >= 0;)
        index = next;
    const X509_NAME_ENTRY* entry = index >= 0 ? X509_NAME_get_entry(name, index) : nullptr;
    unsigned char* utf8 = nullptr;
    const int size = entry ? ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(entry)) : -1;
    const OpenSslText owned(reinterpret_cast<char*>(utf8));
    return size > 0 ? QString::fromUtf8(owned.get(), size) : QString();
}

QString serialText(const ASN1_INTEGER* serial)
{
    const BignumPtr number(ASN1_INTEGER_to_BN(serial, nullptr));
    const OpenSslText hex(number ? BN_bn2hex(number.get()) : nullptr);
    return hex ? QString::fromLatin1(hex.get()) : QString();
}

QDateTime timeValue(const ASN1_TIME* time)
{
    std::tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return {};
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), QTimeZone::utc());
}

QString keyText(const X509* certificate)
{
    EVP_PKEY* key = X509_get0_pubkey(certificate);
    if (!key)
        return QStringLiteral("无法读取");
    const char* type = EVP_PKEY_get0_type_name(key);
    return QStringLiteral("%1 (%2 位)")
        .arg(type ? QString::fromLatin1(type) : QStringLiteral("?"))
        .arg(EVP_PKEY_get_bits(key));
}

QString fingerprint(const X509* certificate, const EVP_MD* digest)
{
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (X509_digest(certificate, digest, bytes, &size) != 1)
        return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)).toHex(':').toUpper());
}

QString localTimeText(const QDateTime& time)
{
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

} // namespace

std::optional<std::vector<uint8_t>> certificateDer(const QByteArray& bytes)
{
    const X509Ptr certificate = parse(bytes);
    unsigned char* der = nullptr;
    const int length = certificate ? i2d_X509(certificate.get(), &der) : 0;
    if (length <= 0)
        return std::nullopt;
    std::vector<uint8_t> result(der, der + length);
    OPENSSL_free(der);
    return result;
}

std::optional<CertificateDetails> decodeCertificate(const QByteArray& bytes, QString* error)
{
    const X509Ptr certificate = parse(bytes);
    ERR_clear_error();
    if (!certificate) {
        if (error)
            *error = QStringLiteral("不是可以识别的证书（PEM 或 DER 格式）。");
        return std::nullopt;
    }
    CertificateDetails details;
    details.subject = nameText(X509_get_subject_name(certificate.get()));
    details.subjectCommonName = commonName(X509_get_subject_name(certificate.get()));
    details.issuer = nameText(X509_get_issuer_name(certificate.get()));
    details.serialNumber = serialText(X509_get0_serialNumber(certificate.get()));
    details.notBefore = timeValue(X509_get0_notBefore(certificate.get()));
    details.notAfter = timeValue(X509_get0_notAfter(certificate.get()));
    details.publicKey = keyText(certificate.get());
    details.sha1Fingerprint = fingerprint(certificate.get(), EVP_sha1());
    details.sha256Fingerprint = fingerprint(certificate.get(), EVP_sha256());
    ERR_clear_error();
    return details;
}

std::optional<CertificateDetails> readCertificateFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法打开证书文件：%1").arg(file.errorString());
        return std::nullopt;
    }
    // One byte past the limit tells a file that is too large from one that just fits.
    const QByteArray bytes = file.read(kMaxCertificateFileSize + 1);
    if (bytes.size() > kMaxCertificateFileSize) {
        if (error)
            *error = QStringLiteral("证书文件过大（超过 %1 字节）。").arg(kMaxCertificateFileSize);
        return std::nullopt;
    }
    return decodeCertificate(bytes, error);
}

QList<CertificateField> certificateFields(const CertificateDetails& details)
{
    return {
        {QStringLiteral("使用者"), details.subject},
        {QStringLiteral("颁发者"), details.issuer},
        {QStringLiteral("序列号"), details.serialNumber, true},
        {QStringLiteral("有效期从"), localTimeText(details.notBefore)},
        {QStringLiteral("到"), localTimeText(details.notAfter)},
        {QStringLiteral("公钥"), details.publicKey},
        {QStringLiteral("SHA-1 指纹"), details.sha1Fingerprint, true},
        {QStringLiteral("SHA-256 指纹"), details.sha256Fingerprint, true},
    };
}

} // namespace talvo
