// Packing and unpacking at the sizes that matter, and the file format against OpenSSL.

#include "SecureMessageTestBase.h"

#include "simulator/common/ContainerKeys.h"

namespace talvo::testing {
namespace {

class SecureMessageRoundTripTest : public SecureMessageTestBase {};

qsizetype expectedFileSize(qsizetype plainSize)
{
    return 608 + (plainSize / 8 + 1) * 8;
}

TEST_F(SecureMessageRoundTripTest, RoundTripsAtPieceAndBlockBoundaries)
{
    for (const qsizetype size : {0, 1, 7, 8, 999, 1000, 1001, 4096}) {
        SCOPED_TRACE(size);
        const QByteArray content = document(size, static_cast<unsigned>(size));
        write(file("source"), content);
        ASSERT_TRUE(pack(file("source"), file("message.sec")));
        const QByteArray secure = read(file("message.sec"));
        EXPECT_EQ(secure.size(), expectedFileSize(size));
        ASSERT_TRUE(unpack(file("message.sec"), file("target")));
        EXPECT_EQ(read(file("target")), content);
        EXPECT_EQ(read(file("source")), content) << "the source is never changed";
        EXPECT_EQ(read(file("message.sec")), secure) << "the secure file is never changed";
    }
    EXPECT_TRUE(boxTexts().isEmpty()) << boxTexts().join(QLatin1Char('|')).toStdString();
}

TEST_F(SecureMessageRoundTripTest, RoundTripsAFewMegabytesWithANonAsciiName)
{
    const QByteArray content = document(3 * 1024 * 1024 + 5, 7);
    const QString source = file(QStringLiteral("报文 ü.doc"));
    write(source, content);
    ASSERT_TRUE(pack(source, file(QStringLiteral("安全文件.sec"))));
    ASSERT_TRUE(unpack(file(QStringLiteral("安全文件.sec")), file(QStringLiteral("目标 文件"))));
    EXPECT_TRUE(read(file(QStringLiteral("目标 文件"))) == content);
}

// The provider refuses a final decryption on no bytes, as the Microsoft ones do, so the reader
// must flag the last whole piece final itself.
TEST_F(SecureMessageRoundTripTest, CiphertextLengthsThatAreMultiplesOfThePieceSizeOpen)
{
    for (const qsizetype size : {999, 1999, 7999}) {
        SCOPED_TRACE(size);
        const QByteArray content = document(size);
        write(file("source"), content);
        ASSERT_TRUE(pack(file("source"), file("message.sec")));
        ASSERT_EQ(read(file("message.sec")).size() - 608, size + 1) << "whole pieces of ciphertext";
        ASSERT_TRUE(unpack(file("message.sec"), file("target")));
        EXPECT_EQ(read(file("target")), content);
    }
    EXPECT_TRUE(boxTexts().isEmpty());
}

TEST_F(SecureMessageRoundTripTest, FileFormatMatchesOpenSslPrimitives)
{
    const QByteArray content = packedDocument(2345);
    const QByteArray secure = read(file("doc.sec"));
    ASSERT_EQ(secure.size(), expectedFileSize(2345));
    const auto bytesAt = [&](qsizetype offset, qsizetype size) {
        return Bytes(secure.begin() + offset, secure.begin() + offset + size);
    };

    EXPECT_EQ(bytesAt(0, 4), (Bytes{0x00, 0x01, 0x00, 0x00})) << "256, little-endian";
    EXPECT_EQ(bytesAt(304, 4), (Bytes{0x0c, 0x01, 0x00, 0x00})) << "268, little-endian";
    EXPECT_EQ(bytesAt(4 + 256, 44), Bytes(44, 0)) << "the signature area is zero after the signature";
    EXPECT_EQ(bytesAt(308 + 268, 32), Bytes(32, 0)) << "the key blob area is zero after the blob";

    const Bytes plain(content.begin(), content.end());
    const sim::ContainerFiles files = sim::containerFiles(m_key.path());
    const PkeyPtr signatureKey = loadPemKey(files.signatureKey);
    EXPECT_TRUE(verifiesAsPkcs1Md5(signatureKey.get(), plain, reversedBytes(bytesAt(4, 256))));

    const Bytes blob = bytesAt(308, 268);
    EXPECT_EQ(Bytes(blob.begin(), blob.begin() + 12),
              (Bytes{0x01, 0x02, 0x00, 0x00, 0x01, 0x66, 0x00, 0x00, 0x00, 0xa4, 0x00, 0x00}));
    const PkeyPtr exchangeKey = loadPemKey(files.exchangeKey);
    const std::optional<Bytes> desKey =
        rsaPkcs1Decrypt(exchangeKey.get(), reversedBytes(Bytes(blob.begin() + 12, blob.end())));
    ASSERT_TRUE(desKey);
    ASSERT_EQ(desKey->size(), 8u);
    EXPECT_EQ(bytesAt(608, secure.size() - 608), desCbc(*desKey, plain, true).value());
}

TEST_F(SecureMessageRoundTripTest, AFileFromAnotherContainerDoesNotOpen)
{
    write(file("doc.bin"), document(100));
    {
        SimulatedKeyDirectory other(fuzzContainer());
        ASSERT_TRUE(pack(file("doc.bin"), file("doc.sec")));
    }
    m_boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(unpack(file("doc.sec"), file("target")));
    EXPECT_EQ(boxTexts(), QStringList{QStringLiteral("导入密钥错误")});
    EXPECT_TRUE(read(file("target")).isEmpty());
}

// Sizes at the edge of the 300-byte areas: a 2304-bit exchange key gives a blob of exactly 300.
class SecureMessageFullAreaTest : public SecureMessageTestBase {
protected:
    SecureMessageFullAreaTest() : SecureMessageTestBase(containerWithKeySizes(2400, 2304)) {}
};

TEST_F(SecureMessageFullAreaTest, SignatureAndBlobOfExactly300BytesRoundTrip)
{
    const QByteArray content = packedDocument(1234);
    const QByteArray secure = read(file("doc.sec"));
    EXPECT_EQ(secure.mid(0, 4), QByteArray::fromHex("2c010000"));
    EXPECT_EQ(secure.mid(304, 4), QByteArray::fromHex("2c010000"));
    ASSERT_TRUE(unpack(file("doc.sec"), file("target")));
    EXPECT_EQ(read(file("target")), content);
    EXPECT_TRUE(boxTexts().isEmpty());
}

} // namespace
} // namespace talvo::testing
