// The key's provider signs a SHA-256 digest with the key's signature key, on the token when
// the key is token-backed; a certificate of another key and a provider without SHA-256 or
// without a settable hash value are refused before anything is signed.

#include "key/ProviderDigestSigning.h"
#include "device/KeyDriverBinding.h"
#include "key/CertificateOperations.h"
#include "key/TwoCallRead.h"
#include "platform/core/CertificateDetails.h"
#include "support/SimulatedKey.h"
#include "support/TempDirectory.h"
#include "tests/pdf/SoftwareSigner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <openssl/rsa.h>
#include <openssl/x509.h>

namespace talvo::testing {
namespace {

const std::array<uint8_t, 32> kDigest = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0x10, 0x32, 0x54,
                                         0x76, 0x98, 0xba, 0xdc, 0xfe, 0xff, 0xee, 0xdd, 0xcc, 0xbb, 0xaa,
                                         0x99, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x5a};

std::vector<uint8_t> keyCertificate()
{
    KeyDriverBinding binding;
    TwoCallRead read(certificateRead(binding));
    EXPECT_EQ(read.readAll(), 0);
    return certificateDer(read.toByteArray()).value_or(std::vector<uint8_t>());
}

bool verifiesWith(const std::vector<uint8_t>& certificateDer, const std::vector<uint8_t>& signature)
{
    const unsigned char* cursor = certificateDer.data();
    X509* certificate = d2i_X509(nullptr, &cursor, static_cast<long>(certificateDer.size()));
    EVP_PKEY_CTX* ctx = certificate ? EVP_PKEY_CTX_new(X509_get0_pubkey(certificate), nullptr) : nullptr;
    const bool verified =
        ctx && EVP_PKEY_verify_init(ctx) == 1 && EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1 &&
        EVP_PKEY_CTX_set_signature_md(ctx, EVP_sha256()) == 1 &&
        EVP_PKEY_verify(ctx, signature.data(), signature.size(), kDigest.data(), kDigest.size()) == 1;
    EVP_PKEY_CTX_free(ctx);
    X509_free(certificate);
    return verified;
}

class ProviderDigestSigningTest : public ::testing::TestWithParam<SimulatedKey::Backing> {};

TEST_P(ProviderDigestSigningTest, SignsWithTheCertificatesKeyAndRefusesAnotherKeysCertificate)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    const std::vector<uint8_t> certificate = keyCertificate();
    ASSERT_FALSE(certificate.empty());
    const ProviderSignature signature = signSha256WithProvider(certificate, kDigest);
    ASSERT_TRUE(signature.ok) << signature.error;
    EXPECT_TRUE(verifiesWith(certificate, signature.signature));

    SoftwareSigner other;
    std::vector<uint8_t> otherCertificate;
    std::string error;
    ASSERT_TRUE(other.certificate(otherCertificate, error));
    const ProviderSignature refused = signSha256WithProvider(otherCertificate, kDigest);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.signature.empty());
    EXPECT_NE(refused.error.find("不符"), std::string::npos) << refused.error;
}

INSTANTIATE_TEST_SUITE_P(Backings, ProviderDigestSigningTest,
                         ::testing::Values(SimulatedKey::Backing::Files, SimulatedKey::Backing::Token),
                         [](const auto& testCase) {
                             return std::string(testCase.param == SimulatedKey::Backing::Files ? "files"
                                                                                               : "token");
                         });

struct OlderProvider {
    const char* name;
    const char* module;
    const char* refusal;
};

void PrintTo(const OlderProvider& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class OlderProviderTest : public ::testing::TestWithParam<OlderProvider> {};

TEST_P(OlderProviderTest, IsRefusedWithItsLack)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    TempDirectory registry;
    const QString module = registry.file(QStringLiteral("older.so"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(GetParam().module), module));
    TempDirectory::writeFile(registry.file(QStringLiteral("older.csp")),
                             "name=MERO Cryptographic Service Provider v1.0.0\ntype=1\nlibrary=older.so\n");
    const ScopedEnvironment environment("TALVO_CSP_REGISTRY", QFile::encodeName(registry.path()));
    const ProviderSignature signature = signSha256WithProvider(keyCertificate(), kDigest);
    EXPECT_FALSE(signature.ok);
    EXPECT_NE(signature.error.find(GetParam().refusal), std::string::npos) << signature.error;
}

INSTANTIATE_TEST_SUITE_P(Providers, OlderProviderTest,
                         ::testing::Values(OlderProvider{"md5Only", TALVO_MD5_ONLY_CSP, "不支持SHA-256"},
                                           OlderProvider{"noHashValue", TALVO_NO_HASH_VALUE_CSP,
                                                         "不能对给定的摘要签名"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace talvo::testing
