// What talvo-key must not lose or mangle: file names, pipes, the key's record, concurrent runs,
// the terminal and standard output.

#include "TalvoKeyFixture.h"
#include "platform/core/NativePath.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <fstream>
#include <future>
#include <sys/file.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace talvo::testing {
namespace {

using namespace std::chrono_literals;

QByteArray readBytes(const QByteArray& name)
{
    std::ifstream in(name.constData(), std::ios::binary);
    return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
}

class TalvoKeyCliIntegrityTest : public TalvoKeyFixture {
protected:
    QByteArray folder() const { return QFile::encodeName(m_files.path()); }
    TalvoKeyRun run(const char* words, const QStringList& more = {})
    {
        return key(QString::fromUtf8(words).split(QLatin1Char(' ')) + more);
    }
};

TEST_F(TalvoKeyCliIntegrityTest, FileNamesReachTheFileSystemByteForByte)
{
    std::ofstream(folder() + "/\xfe.gif") << "GIF89a the picture";
    std::ofstream(folder() + "/\xef\xbf\xbd.gif") << "GIF89a another file, as Qt would name it";
    ASSERT_EQ(
        run("seals add --name 章 --expiry 2030-01-01", {decodeNativePath(folder() + "/\xfe.gif")}).exitCode,
        0);
    ASSERT_EQ(run("seals export 104", {decodeNativePath(folder() + "/\xff\xfe.gif")}).exitCode, 0);
    EXPECT_EQ(readBytes(folder() + "/\xff\xfe.gif"), "GIF89a the picture");
    ::unlink(folder() + "/\xfe.gif"); // Qt's removal of the folder cannot name them
    ::unlink(folder() + "/\xff\xfe.gif");
}

TEST_F(TalvoKeyCliIntegrityTest, AnExportIntoASlowPipeIsWrittenWhole)
{
    const QByteArray picture = QByteArray("GIF89a").leftJustified(200000, 'x');
    TempDirectory::writeFile(file(QStringLiteral("big.gif")), picture);
    ASSERT_EQ(run("seals add --name 章 --expiry 2030-01-01", {file(QStringLiteral("big.gif"))}).exitCode, 0);
    QProcess shell;
    shell.start(QStringLiteral("/bin/bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("'" TALVO_BINARY_DIR "/bin/talvo-key' --password-file '%1' seals "
                                "export 104 /dev/stdout | (sleep 1; cat > '%2'); exit ${PIPESTATUS[0]}")
                     .arg(m_passwordFile, file(QStringLiteral("out")))});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(TempDirectory::readFile(file(QStringLiteral("out"))), picture);
}

TEST_F(TalvoKeyCliIntegrityTest, SetWritesBackWhatItDoesNotNameByteForByte)
{
    KeyBaseInfo expected = readKey().base;
    expected.lockFlag = 2;
    expected.factoryFlag = 255;
    expected.mode = 7;
    copyToField("Unit\xFFX", expected.unitId);
    ASSERT_EQ(m_binding.TLKeyWriteKeyBaseInfo(expected), 0);
    ASSERT_EQ(run("set --yes initFlag=0").exitCode, 0);
    expected.initFlag = 0;
    const KeyBaseInfo written = readKey().base;
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(&written), sizeof written).toHex(),
              QByteArray(reinterpret_cast<const char*>(&expected), sizeof expected).toHex());
}

// A run that changes the key waits for one that holds talvo-key's lock before it reads, and
// the lock is one file whatever the run's environment: a cron job sets no XDG_RUNTIME_DIR.
TEST_F(TalvoKeyCliIntegrityTest, TwoRunsNeverInterleaveAReadAndItsWrite)
{
    const ScopedEnvironment home("HOME", folder());
    ASSERT_EQ(::mkdir(folder() + "/runtime", 0700), 0);
    const struct {
        const char* what;
        QByteArray runtime;
        QByteArray state;
        const char* userId;
    } environments[] = {
        {"a desktop session", folder() + "/runtime", {}, "desktop"},
        {"a cron job", {}, {}, "cron"},
        {"its own state home", {}, folder() + "/elsewhere", "state"},
    };
    for (const auto& environment : environments) {
        SCOPED_TRACE(environment.what);
        const ScopedEnvironment runtime("XDG_RUNTIME_DIR", environment.runtime);
        const ScopedEnvironment state("XDG_STATE_HOME", environment.state);
        // Another run, in whatever environment, holds the lock; where it is must not matter.
        const QString directory = QDir::homePath() + QStringLiteral("/.local/state/talvo-tool");
        ASSERT_TRUE(QDir().mkpath(directory));
        const int held =
            ::open(QFile::encodeName(directory) + "/talvo-key.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_EQ(::flock(held, LOCK_EX), 0);
        auto waiting = std::async(std::launch::async, [&] {
            return run("set --yes", {QStringLiteral("userId=") + QLatin1String(environment.userId)});
        });
        std::this_thread::sleep_for(1500ms);
        EXPECT_NE(text(readKey().base.userId, TL_USER_ID_SIZE), environment.userId)
            << "written while the lock was held";
        ::close(held);
        EXPECT_EQ(waiting.get().exitCode, 0);
        EXPECT_EQ(text(readKey().base.userId, TL_USER_ID_SIZE), environment.userId);
    }
}

// As an operator does it in a shell: Ctrl-Z at the password prompt, then fg.
TEST_F(TalvoKeyCliIntegrityTest, TheHiddenPromptStaysHiddenAfterStopAndContinue)
{
    const QString prompt = QStringLiteral("请输入密码：");
    const TalvoKeyRun shell = runOnTerminal(
        QStringLiteral("/bin/bash"),
        {QStringLiteral("--norc"), QStringLiteral("--noprofile"), QStringLiteral("-i")},
        {{QStringLiteral("bash"), QStringLiteral("PS1='$ '; " TALVO_BINARY_DIR "/bin/talvo-key pin check\n")},
         {prompt, QStringLiteral("\x1a")},
         {QStringLiteral("Stopped"), QStringLiteral("fg\n")},
         {prompt, QStringLiteral("plain-fox739204\n")},
         {QStringLiteral("输入PIN码："), QStringLiteral("730264\n")},
         {QStringLiteral("ok"), QStringLiteral("exit\n")}});
    EXPECT_FALSE(shell.out.contains(QStringLiteral("plain-fox"))) << shell.out.toStdString();
    EXPECT_FALSE(shell.out.contains(QStringLiteral("730264"))) << shell.out.toStdString();
}

TEST_F(TalvoKeyCliIntegrityTest, AResultThatCannotBeWrittenExitsOne)
{
    for (const StandardOutput output : {StandardOutput::Full, StandardOutput::Closed}) {
        const TalvoKeyRun info =
            runTalvoKey({QStringLiteral("--password-file"), m_passwordFile, QStringLiteral("info")}, output);
        EXPECT_EQ(info.exitCode, 1);
        EXPECT_TRUE(info.err.startsWith(QStringLiteral("talvo-key: cannot write to standard output: ")));
    }
}

// A key text cannot forge lines, colour the terminal, or pass a backslash of its own for an
// escape; talvo-sim shows it as talvo-key does.
TEST_F(TalvoKeyCliIntegrityTest, KeyTextsReachTheTerminalEscaped)
{
    ASSERT_TRUE(m_key.run({QStringLiteral("set"), QStringLiteral("userId"),
                           QStringLiteral("x\u001b[31mRED\r\nlockFlag: 1\\x1B")}));
    const QString escaped = QStringLiteral("x\\x1B[31mRED\\r\\nlockFlag: 1\\\\x1B");
    const TalvoKeyRun info = run("info");
    EXPECT_TRUE(info.out.contains(QStringLiteral("\nuserId: ") + escaped + QStringLiteral("\nerrorTimes")))
        << info.out.toStdString();
    EXPECT_TRUE(run("info --json").out.contains(QStringLiteral("x\\u001b[31mRED\\r\\nlockFlag: 1\\\\x1B\"")));
    QString shown;
    ASSERT_TRUE(m_key.run({QStringLiteral("show")}, &shown));
    EXPECT_TRUE(shown.contains(QStringLiteral("User id:         \"") + escaped + QStringLiteral("\"\n")))
        << shown.toStdString();
}

// A picture far too large for memory is neither read nor held before the password is right.
TEST_F(TalvoKeyCliIntegrityTest, ThePictureIsReadOnlyOnceThePasswordIsRight)
{
    std::ofstream(folder() + "/huge.gif").close();
    ASSERT_EQ(::truncate(folder() + "/huge.gif", off_t{1} << 30), 0);
    TempDirectory::writeFile(m_passwordFile, "wrong\n");
    EXPECT_EQ(run("seals add --name 章 --expiry 2030-01-01", {file(QStringLiteral("huge.gif"))}).exitCode, 2);
    rusage children{};
    ::getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_LT(children.ru_maxrss, 256 * 1024) << "KiB at the most of any run";
}

TEST_F(TalvoKeyCliIntegrityTest, LoosePasswordAndPinFilesAreUsedWithAWarning)
{
    TempDirectory::writeFile(file(QStringLiteral("pin")), "730264\n");
    ::chmod(QFile::encodeName(m_passwordFile), 0644);
    ::chmod(QFile::encodeName(file(QStringLiteral("pin"))), 0640);
    const TalvoKeyRun checked = run("pin check --pin-file", {file(QStringLiteral("pin"))});
    EXPECT_EQ(checked.out, QStringLiteral("ok\n"));
    EXPECT_EQ(checked.err.count(QStringLiteral("talvo-key: warning: other users can read or change")), 2);
}

TEST_F(TalvoKeyCliIntegrityTest, AKeyLockHeldByAStoppedProcessIsWaitedForAFewSeconds)
{
    const int held = ::open(QFile::encodeName(m_key.directory()) + "/.lock", O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const TalvoKeyRun info = run("info"); // within the runner's minute, not for ever
    ::close(held);
    EXPECT_EQ(info.exitCode, 1);
    EXPECT_TRUE(info.err.contains(m_key.directory() + QStringLiteral("/.lock is locked by another process")));
}

} // namespace
} // namespace talvo::testing
