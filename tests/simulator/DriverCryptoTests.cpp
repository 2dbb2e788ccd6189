#include "DriverTestSupport.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace talvo::testing {
namespace {

using Bytes = std::vector<uint8_t>;
using X509Ptr = std::unique_ptr<X509, decltype(&X509_free)>;

template <class Read> Bytes twoCall(Read read)
{
    uint32_t length = 0;
    EXPECT_EQ(read(nullptr, &length), TL_OK);
    Bytes bytes(length);
    EXPECT_EQ(read(bytes.data(), &length), TL_OK);
    bytes.resize(length);
    return bytes;
}

Bytes certificate()
{
    return twoCall([](uint8_t* buffer, uint32_t* length) { return driver().TLKeyReadCert(buffer, length); });
}

Bytes signature(const char* pin)
{
    return twoCall([pin](uint8_t* buffer, uint32_t* length) {
        return driver().TLKeyGetSignature(pin, static_cast<int32_t>(std::strlen(pin)), buffer, length);
    });
}

Bytes publicKey()
{
    return twoCall(
        [](uint8_t* buffer, uint32_t* length) { return driver().TLKeyGetPublicKey(buffer, length); });
}

uint8_t verify(const char* pin, const Bytes& key, const Bytes& sig, int32_t* status = nullptr)
{
    uint8_t flag = 0;
    const int32_t result = driver().TLVerifySign(pin, static_cast<int32_t>(std::strlen(pin)), key.data(),
                                                 static_cast<uint32_t>(key.size()), sig.data(),
                                                 static_cast<uint32_t>(sig.size()), &flag);
    if (status)
        *status = result;
    else
        EXPECT_EQ(result, TL_OK);
    return flag;
}

class DriverCryptoTest : public DriverContractTest {};

TEST_P(DriverCryptoTest, CertificateIsSelfSignedOverTheSignatureKey)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const Bytes pem = certificate();
    ASSERT_FALSE(pem.empty());
    const std::string text(pem.begin(), pem.end());
    EXPECT_TRUE(text.starts_with("-----BEGIN CERTIFICATE-----\n")) << text;
    EXPECT_TRUE(text.ends_with("-----END CERTIFICATE-----\n")) << text;
    EXPECT_EQ(text.find('\0'), std::string::npos);
    const std::unique_ptr<BIO, decltype(&BIO_free)> bio(
        BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
    const X509Ptr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr), X509_free);
    ASSERT_TRUE(cert);
    // The key keeps the DER form; what it hands out is that very certificate.
    const QByteArray stored = storedCertificate(key);
    const auto* storedBytes = reinterpret_cast<const unsigned char*>(stored.constData());
    const X509Ptr storedCert(d2i_X509(nullptr, &storedBytes, stored.size()), X509_free);
    ASSERT_TRUE(storedCert);
    EXPECT_EQ(X509_cmp(cert.get(), storedCert.get()), 0);
    EXPECT_EQ(X509_get_version(cert.get()), X509_VERSION_3);

    char commonName[64] = {};
    X509_NAME_get_text_by_NID(X509_get_subject_name(cert.get()), NID_commonName, commonName,
                              sizeof commonName);
    EXPECT_EQ(commonName, keySerial(key));

    int days = 0;
    int seconds = 0;
    ASSERT_EQ(
        ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(cert.get()), X509_get0_notAfter(cert.get())), 1);
    EXPECT_NEAR(days, 3650, 5);

    const sim::EvpPkeyPtr signatureKey = signaturePublicKey(key);
    ASSERT_TRUE(signatureKey);
    EXPECT_EQ(EVP_PKEY_eq(X509_get0_pubkey(cert.get()), signatureKey.get()), 1);
    EXPECT_EQ(X509_verify(cert.get(), signatureKey.get()), 1);

    uint32_t length = 10;
    Bytes small(10, 0xEE);
    EXPECT_EQ(driver().TLKeyReadCert(small.data(), &length), TL_ERR_MEMORY);
    EXPECT_EQ(length, pem.size());
    EXPECT_EQ(small, Bytes(10, 0xEE));
}

TEST_P(DriverCryptoTest, SignatureVerifiesUnderThePublicKeyAndNothingElse)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const Bytes sig = signature("730264");
    const Bytes pub = publicKey();
    ASSERT_EQ(sig.size(), 256u);
    EXPECT_EQ(verify("730264", pub, sig), 1);

    Bytes changed = sig;
    changed[100] ^= 0x01;
    EXPECT_EQ(verify("730264", pub, changed), 0);
    EXPECT_EQ(verify("730265", pub, sig), 0);
    EXPECT_EQ(verify("730264", pub, Bytes(sig.begin(), sig.end() - 1)), 0);

    // A changed modulus byte still parses but no longer matches; a cut key does not parse.
    Bytes otherKey = pub;
    otherKey[otherKey.size() - 20] ^= 0x01;
    int32_t status = TL_OK;
    EXPECT_EQ(verify("730264", otherKey, sig, &status), 0);
    EXPECT_EQ(verify("730264", Bytes(pub.begin(), pub.begin() + 40), sig, &status), 0);
    EXPECT_EQ(status, TL_ERR_PARAMETER);
}

TEST_P(DriverCryptoTest, SignatureIsRsaSha256OverThePinBytesByTheSignaturePair)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const Bytes sig = signature("730264");
    const sim::EvpPkeyPtr signatureKey = signaturePublicKey(key);
    ASSERT_TRUE(signatureKey);

    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    ASSERT_EQ(EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, signatureKey.get()), 1);
    EXPECT_EQ(EVP_DigestVerify(context.get(), sig.data(), sig.size(),
                               reinterpret_cast<const unsigned char*>("730264"), 6),
              1);

    const Bytes pub = publicKey();
    unsigned char* expected = nullptr;
    const int expectedSize = i2d_PUBKEY(signatureKey.get(), &expected);
    ASSERT_GT(expectedSize, 0);
    EXPECT_EQ(pub, Bytes(expected, expected + expectedSize)) << "DER SubjectPublicKeyInfo";
    OPENSSL_free(expected);
}

TEST_P(DriverCryptoTest, OnlyTheKeysPinSigns)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    uint32_t length = 0;
    EXPECT_EQ(driver().TLKeyGetSignature("000000", 6, nullptr, &length), TL_ERR_API);
    char hash[TL_HASH_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyCalcHash("000000", 6, hash), TL_OK);
    ASSERT_EQ(driver().TLKeyWriteHash(hash, 4), TL_OK);
    EXPECT_EQ(verify("000000", publicKey(), signature("000000")), 1);
    EXPECT_EQ(driver().TLKeyGetSignature("730264", 6, nullptr, &length), TL_ERR_API);

    Bytes small(16, 0xEE);
    length = 16;
    EXPECT_EQ(driver().TLKeyGetSignature("000000", 6, small.data(), &length), TL_ERR_MEMORY);
    EXPECT_EQ(length, 256u);
    EXPECT_EQ(small, Bytes(16, 0xEE));
}

TALVO_DRIVER_CONTRACT(DriverCryptoTest);

} // namespace
} // namespace talvo::testing
