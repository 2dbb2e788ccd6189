// What talvo-key must not lose or mangle: file names, pipes, the key's record, concurrent runs,
// the terminal and standard output.

#include "TalvoKeyFixture.h"
#include "platform/NativePath.h"

#include <QElapsedTimer>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <iterator>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace talvo::testing {
namespace {

void writeBytes(const QByteArray& name, const QByteArray& bytes)
{
    std::ofstream(name.toStdString(), std::ios::binary).write(bytes.constData(), bytes.size());
}

QByteArray readBytes(const QByteArray& name)
{
    std::ifstream in(name.toStdString(), std::ios::binary);
    return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
}

// Everything a reader that starts late takes from the pipe, until the writer closes it.
QByteArray drainLate(int pipe, std::chrono::seconds late)
{
    std::this_thread::sleep_for(late);
    QByteArray taken;
    char buffer[65536];
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
         std::chrono::steady_clock::now() < end;) {
        const ssize_t got = ::read(pipe, buffer, sizeof buffer);
        if (got > 0)
            taken.append(buffer, got);
        else if (got == 0 && !taken.isEmpty())
            break;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return taken;
}

class TalvoKeyCliIntegrityTest : public TalvoKeyFixture {
protected:
    QByteArray folder() const { return QFile::encodeName(m_files.path()); }
    TalvoKeyRun addSeal(const QString& picture)
    {
        return key({QStringLiteral("seals"), QStringLiteral("add"), QStringLiteral("--name"),
                    QStringLiteral("章"), QStringLiteral("--expiry"), QStringLiteral("2030-01-01"), picture});
    }
};

TEST_F(TalvoKeyCliIntegrityTest, FileNamesReachTheFileSystemByteForByte)
{
    writeBytes(folder() + "/\xfe.gif", "GIF89a the picture");
    writeBytes(folder() + "/\xef\xbf\xbd.gif", "GIF89a another file, as Qt would name it");
    const TalvoKeyRun added = addSeal(decodeNativePath(folder() + "/\xfe.gif"));
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    const TalvoKeyRun exported = key({QStringLiteral("seals"), QStringLiteral("export"),
                                      QStringLiteral("104"), decodeNativePath(folder() + "/\xff\xfe.gif")});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(readBytes(folder() + "/\xff\xfe.gif"), "GIF89a the picture");
    EXPECT_FALSE(QFile::exists(m_files.file(QStringLiteral("\uFFFD\uFFFD.gif"))));
    // Qt's own removal of the folder cannot name them.
    ::unlink(folder() + "/\xfe.gif");
    ::unlink(folder() + "/\xff\xfe.gif");
}

TEST_F(TalvoKeyCliIntegrityTest, AnExportIntoASlowPipeIsWrittenWhole)
{
    const QByteArray picture = QByteArray("GIF89a").leftJustified(200000, 'x');
    writeBytes(folder() + "/big.gif", picture);
    ASSERT_EQ(addSeal(file(QStringLiteral("big.gif"))).exitCode, 0);
    ASSERT_EQ(::mkfifo(folder() + "/pipe", 0600), 0);
    const int reader = ::open(folder() + "/pipe", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    auto taken = std::async(std::launch::async, drainLate, reader, std::chrono::seconds(1));
    const TalvoKeyRun run = key({QStringLiteral("seals"), QStringLiteral("export"), QStringLiteral("104"),
                                 file(QStringLiteral("pipe"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(taken.get(), picture);
    ::close(reader);
}

TEST_F(TalvoKeyCliIntegrityTest, SetWritesBackWhatItDoesNotNameByteForByte)
{
    KeyBaseInfo odd = readKey().base;
    odd.lockFlag = 2;
    odd.factoryFlag = 255;
    odd.mode = 7;
    copyToField("Unit\xFFX", odd.unitId);
    ASSERT_EQ(m_binding.TLKeyWriteKeyBaseInfo(odd), 0);
    KeyBaseInfo expected = readKey().base;
    ASSERT_EQ(expected.lockFlag, 2);

    const TalvoKeyRun run =
        key({QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("initFlag=0")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    expected.initFlag = 0;
    const KeyBaseInfo written = readKey().base;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&written), sizeof written).toHex().toStdString(),
              QByteArray(reinterpret_cast<const char*>(&expected), sizeof expected).toHex().toStdString());
}

// A run that changes the key waits for another that holds talvo-key's lock, and only then
// reads the key: its write cannot undo the other run's.
TEST_F(TalvoKeyCliIntegrityTest, TwoRunsNeverInterleaveAReadAndItsWrite)
{
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR", folder());
    ASSERT_EQ(::mkdir(folder() + "/talvo-tool", 0700), 0);
    const int held = ::open(folder() + "/talvo-tool/talvo-key.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    auto waiting = std::async(std::launch::async, [this] {
        return key({QStringLiteral("set"), QStringLiteral("--yes"), QStringLiteral("userId=second")});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_NE(text(readKey().base.userId, TL_USER_ID_SIZE), "second") << "written while the lock was held";
    ::close(held);
    const TalvoKeyRun run = waiting.get();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(text(readKey().base.userId, TL_USER_ID_SIZE), "second");
}

// As an operator does it in a shell: Ctrl-Z at the password prompt, then fg.
TEST_F(TalvoKeyCliIntegrityTest, TheHiddenPromptStaysHiddenAfterStopAndContinue)
{
    const QString prompt = QStringLiteral("请输入密码：");
    const TalvoKeyRun run = runOnTerminal(
        QStringLiteral("/bin/bash"),
        {QStringLiteral("--norc"), QStringLiteral("--noprofile"), QStringLiteral("-i")},
        {{QStringLiteral("bash"), QStringLiteral("PS1='$ '; " TALVO_BINARY_DIR "/bin/talvo-key pin check\n")},
         {prompt, QStringLiteral("\x1a")},
         {QStringLiteral("Stopped"), QStringLiteral("fg\n")},
         {prompt, QStringLiteral("plain-fox739204\n")},
         {QStringLiteral("输入PIN码："), QStringLiteral("730264\n")},
         {QStringLiteral("ok"), QStringLiteral("exit\n")}});
    EXPECT_FALSE(run.out.contains(QStringLiteral("plain-fox"))) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("730264"))) << run.out.toStdString();
}

TEST_F(TalvoKeyCliIntegrityTest, AResultThatCannotBeWrittenExitsOne)
{
    for (const StandardOutput output : {StandardOutput::Full, StandardOutput::Closed}) {
        const TalvoKeyRun run =
            runTalvoKey({QStringLiteral("--password-file"), m_passwordFile, QStringLiteral("info")}, output);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("talvo-key: cannot write to standard output: ")))
            << run.err.toStdString();
    }
}

TEST_F(TalvoKeyCliIntegrityTest, KeyTextsReachTheTerminalEscaped)
{
    ASSERT_TRUE(m_key.run(
        {QStringLiteral("set"), QStringLiteral("userId"), QStringLiteral("x\u001b[31mRED\r\nlockFlag: 1")}));
    const TalvoKeyRun run = key({QStringLiteral("info")});
    EXPECT_TRUE(run.out.contains(QStringLiteral("\nuserId: x\\x1B[31mRED\\r\\nlockFlag: 1\n")))
        << run.out.toStdString();
    EXPECT_EQ(run.out.count(QStringLiteral("lockFlag: ")), 2);
    const TalvoKeyRun json = key({QStringLiteral("info"), QStringLiteral("--json")});
    EXPECT_TRUE(json.out.contains(QStringLiteral("x\\u001b[31mRED\\r\\nlockFlag: 1")))
        << "as JSON escapes it";
}

// A picture far too large for memory is neither read nor held before the password is right.
TEST_F(TalvoKeyCliIntegrityTest, ThePictureIsReadOnlyOnceThePasswordIsRight)
{
    const int picture = ::open(folder() + "/huge.gif", O_CREAT | O_WRONLY, 0600);
    ASSERT_EQ(::ftruncate(picture, off_t{1} << 30), 0);
    ::close(picture);
    TempDirectory::writeFile(m_passwordFile, "wrong\n");
    const TalvoKeyRun run = addSeal(file(QStringLiteral("huge.gif")));
    EXPECT_EQ(run.exitCode, 2);
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 256 * 1024) << "KiB at the most of any run";
}

TEST_F(TalvoKeyCliIntegrityTest, LoosePasswordAndPinFilesAreUsedWithAWarning)
{
    TempDirectory::writeFile(file(QStringLiteral("pin")), "730264\n");
    ::chmod(QFile::encodeName(m_passwordFile), 0644);
    ::chmod(QFile::encodeName(file(QStringLiteral("pin"))), 0640);
    const TalvoKeyRun run = key({QStringLiteral("pin"), QStringLiteral("check"), QStringLiteral("--pin-file"),
                                 file(QStringLiteral("pin"))});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("ok\n"));
    EXPECT_EQ(run.err.count(QStringLiteral("talvo-key: warning: other users can read or change")), 2)
        << run.err.toStdString();
}

TEST_F(TalvoKeyCliIntegrityTest, AKeyLockHeldByAStoppedProcessIsWaitedForAFewSeconds)
{
    const int held = ::open(QFile::encodeName(m_key.directory()) + "/.lock", O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    QElapsedTimer timer;
    timer.start();
    const TalvoKeyRun run = key({QStringLiteral("info")});
    EXPECT_LT(timer.elapsed(), 30000);
    ::close(held);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(m_key.directory() + QStringLiteral("/.lock is locked by another process")))
        << run.err.toStdString();
}

} // namespace
} // namespace talvo::testing
