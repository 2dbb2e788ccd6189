// The command-line companion: exit status and messages, run as its own process.

#include "SecureMessageTestBase.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace talvo::testing {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult talvoSec(const QStringList& arguments)
{
    QProcess process;
    // A locale without a character set of its own: messages come out as UTF-8.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TALVO_BINARY_DIR "/bin/talvo-sec"), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
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
    EXPECT_EQ(bad.err, QStringLiteral("talvo-sec: 错误: 越界\ntalvo-sec: 生成安全报文失败!\n"));

    const ProcessResult missing = talvoSec({QStringLiteral("pack"), file("missing.bin"), file("x.sec")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QStringLiteral("talvo-sec: 生成安全报文失败!\n"));
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
