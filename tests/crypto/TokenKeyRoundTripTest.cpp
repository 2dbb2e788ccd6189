// Secure message files made and opened with a key whose pairs are on a token: the format is
// today's, the signature is the token signature key's, and the message key is unwrapped there.

#include "OpenSslReference.h"

#include "crypto/SecureMessage.h"
#include "platform/widgets/WindowBoxReporter.h"
#include "simulator/key/KeyBackend.h"
#include "support/ScriptedInteraction.h"
#include "support/SimulatedKey.h"

#include <gtest/gtest.h>

namespace talvo::testing {
namespace {

TEST(SecureMessageTokenTest, PacksAndUnpacksWithTheTokensKeys)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, SimulatedKey::Backing::Token);
    TempDirectory dir;
    ScriptedInteraction boxes;
    WindowBoxReporter reporter(nullptr);
    QByteArray content(3001, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 13);
    TempDirectory::writeFile(dir.file("doc.bin"), content);

    ASSERT_TRUE(SecureMessage(reporter).GenerateSecureMessage(dir.file("doc.bin"), dir.file("doc.sec")));
    const QByteArray secure = TempDirectory::readFile(dir.file("doc.sec"));
    ASSERT_EQ(secure.size(), 608 + (content.size() / 8 + 1) * 8);
    std::string error;
    const std::unique_ptr<sim::ContainerKey> signature =
        sim::openKeyBackend(key.directory().toStdString())->containerKey(sim::KeyPair::Signature, &error);
    ASSERT_TRUE(signature) << error;
    EXPECT_TRUE(verifiesAsPkcs1Md5(signature->publicKey(), Bytes(content.begin(), content.end()),
                                   reversedBytes(Bytes(secure.begin() + 4, secure.begin() + 4 + 256))));

    ASSERT_TRUE(SecureMessage(reporter).ParseSecureMessage(dir.file("doc.sec"), dir.file("out.bin")));
    EXPECT_EQ(TempDirectory::readFile(dir.file("out.bin")), content);
    EXPECT_TRUE(boxes.boxTexts().isEmpty()) << boxes.boxTexts().join('|').toStdString();
}

} // namespace
} // namespace talvo::testing
