#include "platform/core/CertificateDetails.h"
#include "TestCertificate.h"
#include "support/TempDirectory.h"

#include <QCryptographicHash>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <ctime>

namespace talvo {
namespace {

using testing::TempDirectory;
using testing::testCertificate;

QString fingerprintOf(const QByteArray& der, QCryptographicHash::Algorithm algorithm)
{
    return QString::fromLatin1(QCryptographicHash::hash(der, algorithm).toHex(':').toUpper());
}

TEST(CertificateDetailsTest, PemAndDerGiveTheSameDetails)
{
    const QByteArray& der = testCertificate().der;
    const QByteArray withPreamble = QByteArray("Certificate for the test\n") + testCertificate().pem;
    for (const QByteArray& bytes : {der, testCertificate().pem, withPreamble}) {
        QString error;
        const std::optional<CertificateDetails> details = decodeCertificate(bytes, &error);
        ASSERT_TRUE(details) << error.toStdString();
        EXPECT_EQ(details->subject, QStringLiteral("C = CN, O = 测试单位, CN = TLV-TEST-1"));
        EXPECT_EQ(details->issuer, QStringLiteral("CN = Talvo Test CA"));
        EXPECT_EQ(details->serialNumber, QStringLiteral("0123456789ABCDEF01"));
        EXPECT_EQ(details->notBefore, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
        EXPECT_EQ(details->notAfter, QDateTime(QDate(2034, 1, 2), QTime(3, 4, 5), QTimeZone::utc()));
        EXPECT_EQ(details->publicKey, QStringLiteral("EC (256 位)"));
        EXPECT_EQ(details->sha1Fingerprint, fingerprintOf(der, QCryptographicHash::Sha1));
        EXPECT_EQ(details->sha256Fingerprint, fingerprintOf(der, QCryptographicHash::Sha256));
    }
}

TEST(CertificateDetailsTest, AnythingElseIsRefusedWithAReason)
{
    const QByteArray& der = testCertificate().der;
    QByteArray damagedPem = testCertificate().pem;
    damagedPem[40] = '!';
    const QByteArray cases[] = {QByteArray(), QByteArray("just text"), der.left(der.size() - 10), damagedPem,
                                QByteArray("-----BEGIN CERTIFICATE-----\n-----END CERTIFICATE-----\n")};
    for (const QByteArray& bytes : cases) {
        QString error;
        EXPECT_FALSE(decodeCertificate(bytes, &error)) << bytes.left(40).toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(CertificateDetailsTest, FilesAreReadWithinTheirLimit)
{
    TempDirectory dir;
    TempDirectory::writeFile(dir.file("key.cer"), testCertificate().pem);
    EXPECT_TRUE(readCertificateFile(dir.file("key.cer")));

    // A valid certificate with trailing bytes past the limit is still refused unread.
    TempDirectory::writeFile(dir.file("huge.cer"),
                             testCertificate().pem + QByteArray(kMaxCertificateFileSize, '\n'));
    QString error;
    EXPECT_FALSE(readCertificateFile(dir.file("huge.cer"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("过大"))) << error.toStdString();

    error.clear();
    EXPECT_FALSE(readCertificateFile(dir.file("missing.cer"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(CertificateDetailsTest, FieldsShowValidityInLocalTime)
{
    struct ZoneReset {
        ~ZoneReset() { ::tzset(); }
    } reset;
    testing::ScopedEnvironment zone("TZ", "CST-8");
    ::tzset();
    const std::optional<CertificateDetails> details = decodeCertificate(testCertificate().der);
    ASSERT_TRUE(details);
    QStringList lines;
    for (const CertificateField& field : certificateFields(*details))
        lines << field.label + QLatin1Char('=') + field.value;
    EXPECT_EQ(lines.mid(0, 6), QStringList({
                                   QStringLiteral("使用者=C = CN, O = 测试单位, CN = TLV-TEST-1"),
                                   QStringLiteral("颁发者=CN = Talvo Test CA"),
                                   QStringLiteral("序列号=0123456789ABCDEF01"),
                                   QStringLiteral("有效期从=2024-01-02 11:04:05"),
                                   QStringLiteral("到=2034-01-02 11:04:05"),
                                   QStringLiteral("公钥=EC (256 位)"),
                               }));
    EXPECT_EQ(lines.size(), 8);
}

} // namespace
} // namespace talvo
