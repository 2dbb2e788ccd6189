#include "DriverTestSupport.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace talvo::testing {
namespace {

TEST(SimulatedKeyTest, OwnsTheEnvironmentAndItsDirectoryForItsLifetime)
{
    const ScopedEnvironment outer("TALVO_SIM_DIR", "/outer/key");
    QString directory;
    {
        const SimulatedKey key(SimulatedKey::Content::Demo);
        directory = key.directory();
        EXPECT_EQ(qEnvironmentVariable("TALVO_SIM_DIR"), directory);
        EXPECT_EQ(readKeyInfo().base.sealNum, 3);
        {
            const SimulatedKey inner;
            EXPECT_EQ(readKeyInfo().base.sealNum, 0);
        }
        EXPECT_EQ(qEnvironmentVariable("TALVO_SIM_DIR"), directory);
    }
    EXPECT_EQ(qEnvironmentVariable("TALVO_SIM_DIR"), QStringLiteral("/outer/key"));
    EXPECT_FALSE(QDir(directory).exists());
}

TEST(SimulatedKeyTest, KeysShareTheContainerButNotTheirState)
{
    {
        const SimulatedKey warmUp;
    } // the program's one container generation
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 8; ++i)
        const SimulatedKey key(SimulatedKey::Content::Demo);
    SimulatedKey first(SimulatedKey::Content::Demo);
    const SimulatedKey second(SimulatedKey::Content::Demo);
    EXPECT_LT(timer.elapsed(), 5000) << "keys are copied, not generated";
    EXPECT_EQ(keyFile(first, "signature.pem"), keyFile(second, "signature.pem"));

    first.fail("TLKeyReadSealNum", 8);
    first.unplug();
    int32_t count = 0;
    EXPECT_EQ(driver().TLKeyReadSealNum(&count), TL_OK) << "the second key is the one in use";
    EXPECT_EQ(count, 3);
}

} // namespace
} // namespace talvo::testing
