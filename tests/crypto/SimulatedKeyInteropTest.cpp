// The provider serves the container that the simulated key itself creates, and follows it
// when it is unplugged and plugged again.

#include "support/SimulatedKey.h"

#include "crypto/SecureMessage.h"
#include "platform/widgets/WindowBoxReporter.h"
#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace talvo::testing {
namespace {

TEST(SimulatedKeyInterop, PacksAndUnpacksWithTheKeysContainerOnlyWhilePlugged)
{
    SimulatedKey key(SimulatedKey::Content::Demo);
    TempDirectory dir;
    ScriptedInteraction boxes;
    WindowBoxReporter reporter(nullptr);
    const QByteArray content("a document for the simulated key\n");
    TempDirectory::writeFile(dir.file("doc.txt"), content);

    EXPECT_TRUE(SecureMessage(reporter).GenerateSecureMessage(dir.file("doc.txt"), dir.file("doc.sec")));
    key.unplug();
    boxes.answerBox(BoxResult::Ok);
    EXPECT_FALSE(SecureMessage(reporter).ParseSecureMessage(dir.file("doc.sec"), dir.file("out.txt")));
    EXPECT_EQ(boxes.boxTexts(), QStringList{QStringLiteral("CryptAcquireContext error")});
    EXPECT_FALSE(QFile::exists(dir.file("out.txt")));
    key.plug();
    EXPECT_TRUE(SecureMessage(reporter).ParseSecureMessage(dir.file("doc.sec"), dir.file("out.txt")));
    EXPECT_EQ(TempDirectory::readFile(dir.file("out.txt")), content);
}

} // namespace
} // namespace talvo::testing
