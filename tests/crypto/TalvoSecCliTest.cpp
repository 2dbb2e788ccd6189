// The command-line companion: exit status and messages, run as its own process.

#include "SecureMessageTestBase.h"

#include "crypto/SecureMessageTexts.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <sys/stat.h>

namespace talvo::testing {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult talvoSec(const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    // A locale without a character set of its own: messages come out as UTF-8.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TALVO_BINARY_DIR "/bin/talvo-sec"), arguments);
    EXPECT_TRUE(process.waitForFinished(timeoutMs));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class TalvoSecCliTest : public SecureMessageTestBase {};

TEST_F(TalvoSecCliTest, PacksAndUnpacksWithExitStatusZero)
{
    const QByteArray content = document(2048);
    write(file("doc.bin"), content);
    const ProcessResult packed = talvoSec({QStringLiteral("pack"), file("doc.bin"), file("doc.sec")});
    EXPECT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    EXPECT_TRUE(packed.err.isEmpty());
    const ProcessResult unpacked = talvoSec({QStringLiteral("unpack"), file("doc.sec"), file("out.bin")});
    EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err.toStdString();
    EXPECT_EQ(read(file("out.bin")), content);
}

TEST_F(TalvoSecCliTest, FailuresExitWithOneAndTellWhyOnStandardError)
{
    packedDocument(100);
    QByteArray secure = read(file("doc.sec"));
    secure[0] = 0;
    secure[1] = 0;
    write(file("bad.sec"), secure);
    const ProcessResult bad = talvoSec({QStringLiteral("unpack"), file("bad.sec"), file("out.bin")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, QStringLiteral("talvo-sec: 错误: 越界\ntalvo-sec: 解析安全报文失败!\n"));

    const ProcessResult missing = talvoSec({QStringLiteral("pack"), file("missing.bin"), file("x.sec")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QStringLiteral("talvo-sec: 生成安全报文失败!\n"));
}

TEST_F(TalvoSecCliTest, ADeviceOrPipeAsSourceOrTargetIsRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(file("pipe")).constData(), 0600), 0);
    const QString refusedSource = QStringLiteral("talvo-sec: 错误: ") +
                                  secure_message::inputNotRegularText() +
                                  QStringLiteral("\ntalvo-sec: 生成安全报文失败!\n");
    for (const QString& source : {QStringLiteral("/dev/zero"), file("pipe")}) {
        const ProcessResult packed = talvoSec({QStringLiteral("pack"), source, file("out.sec")}, 10000);
        EXPECT_EQ(packed.exitCode, 1) << source.toStdString();
        EXPECT_EQ(packed.err, refusedSource);
        EXPECT_FALSE(exists(file("out.sec")));
    }
    packedDocument(100);
    const ProcessResult unpacked = talvoSec({QStringLiteral("unpack"), file("doc.sec"), file("pipe")}, 10000);
    EXPECT_EQ(unpacked.exitCode, 1);
    EXPECT_TRUE(
        unpacked.err.startsWith(QStringLiteral("talvo-sec: 错误: ") + secure_message::outputNotRegularText()))
        << unpacked.err.toStdString();
}

TEST_F(TalvoSecCliTest, HelpAndUsage)
{
    const ProcessResult help = talvoSec({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("talvo-sec pack SOURCE OUTPUT")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("talvo-sec unpack SECURE TARGET")));
    for (const QStringList& wrong : {QStringList{}, QStringList{QStringLiteral("pack"), file("a")},
                                     QStringList{QStringLiteral("seal"), file("a"), file("b")}}) {
        const ProcessResult run = talvoSec(wrong);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage:")));
    }
}

} // namespace
} // namespace talvo::testing
