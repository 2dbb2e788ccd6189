// Writers of the key that are whole processes: racing, and killed at random points.
#include "DriverTestSupport.h"

#include "simulator/key/KeyProvisioning.h"

#include <QDir>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace talvo::testing {
namespace {

sim::KeyState loadedState(const SimulatedKey& key)
{
    sim::KeyState state;
    std::string error;
    EXPECT_EQ(sim::readKeyState(key.directory().toStdString(), state, &error),
              sim::KeyStore::LoadResult::Loaded)
        << error;
    return state;
}

void startWriter(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral(TALVO_KEY_WRITER), arguments);
    ASSERT_TRUE(process.waitForStarted());
}

TEST(KeyStoreTest, TwoWriterProcessesLoseNoUpdate)
{
    const SimulatedKey key(SimulatedKey::Content::Demo);
    const int32_t before = loadedState(key).errorTimes;
    constexpr int kEach = 150;
    QProcess first;
    QProcess second;
    startWriter(first, {QStringLiteral("count"), QString::number(kEach)});
    startWriter(second, {QStringLiteral("count"), QString::number(kEach)});
    for (QProcess* writer : {&first, &second}) {
        ASSERT_TRUE(writer->waitForFinished(120000));
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
    }
    EXPECT_EQ(loadedState(key).errorTimes, before + 2 * kEach);
}

TEST(KeyStoreTest, KilledWriterLeavesTheOldOrTheNewStateAndTheNextWriteClearsItsLeftovers)
{
    SimulatedKey key(SimulatedKey::Content::Demo);
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 15);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(::testing::Message() << "round " << round);
        QProcess writer;
        startWriter(writer, {QStringLiteral("churn")});
        ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().toStdString();
        QThread::msleep(static_cast<unsigned long>(pause(random)));
        ASSERT_EQ(::kill(static_cast<pid_t>(writer.processId()), SIGKILL), 0);
        ASSERT_TRUE(writer.waitForFinished(30000));
        const QList<QByteArray> lines = writer.readAllStandardOutput().split('\n');
        const int lastDone = lines.size() >= 2 ? lines[lines.size() - 2].toInt() : 0;

        const int32_t onDisk = loadedState(key).errorTimes;
        EXPECT_TRUE(onDisk == lastDone || onDisk == lastDone + 1)
            << "on disk " << onDisk << ", last change done " << lastDone;

        key.clearFailures(); // the next write
        const sim::KeyState state = loadedState(key);
        for (const QString& name :
             QDir(key.directory()).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            EXPECT_FALSE(name.contains(QLatin1String(".tmp."))) << "left over: " << name.toStdString();
            if (name == QLatin1String("seal-101.picture")) {
                EXPECT_TRUE(state.seal(sim::kFirstSealNumber).inUse) << "an orphaned picture is left";
            }
        }
    }
}

} // namespace
} // namespace talvo::testing
