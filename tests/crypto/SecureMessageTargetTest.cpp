// What an unpack does to its target and a pack to its output: the file's identity kept, links
// followed, nothing left behind by a run that is killed.

#include "SecureMessageTestBase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <cerrno>
#include <cstring>
#include <thread>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace talvo::testing {
namespace {

const QString kTalvoSec = QStringLiteral(TALVO_BINARY_DIR "/bin/talvo-sec");

struct stat statOf(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info;
}

QString aclOf(const QString& path)
{
    QProcess getfacl;
    getfacl.start(QStringLiteral("getfacl"), {QStringLiteral("--omit-header"), path});
    EXPECT_TRUE(getfacl.waitForFinished());
    return QString::fromUtf8(getfacl.readAllStandardOutput());
}

class SecureMessageTargetTest : public SecureMessageTestBase {
protected:
    QStringList entries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

// Written in place: another user's file stays theirs, with its mode, ACL, attributes and links.
TEST_F(SecureMessageTargetTest, AnUnpackedTargetKeepsItsIdentity)
{
    const QByteArray content = packedDocument(70000);
    const QString target = file("target");
    write(target, "the old content, longer than nothing");
    const QByteArray name = QFile::encodeName(target);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    ASSERT_EQ(::link(name.constData(), QFile::encodeName(file("other-link")).constData()), 0);
    // A file system without user attributes (tmpfs before Linux 6.6) still shows the rest.
    const bool attributes = ::setxattr(name.constData(), "user.talvo", "kept", 4, 0) == 0;
    ASSERT_TRUE(attributes || errno == ENOTSUP) << std::strerror(errno);
    ASSERT_EQ(QProcess::execute(QStringLiteral("setfacl"),
                                {QStringLiteral("-m"), QStringLiteral("u:nobody:r"), target}),
              0);
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(::chown(name.constData(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    const struct stat before = statOf(target);
    const QString acl = aclOf(target);

    ASSERT_TRUE(unpack(file("doc.sec"), target)) << qPrintable(boxTexts().join(QLatin1Char('\n')));
    const struct stat after = statOf(target);
    EXPECT_EQ(read(target), content);
    EXPECT_EQ(read(file("other-link")), content) << "the other link reaches the same file";
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    char attribute[16] = {};
    if (attributes) {
        EXPECT_EQ(::getxattr(name.constData(), "user.talvo", attribute, sizeof attribute), 4);
        EXPECT_STREQ(attribute, "kept");
    }
    EXPECT_EQ(aclOf(target), acl);
    EXPECT_EQ(entries(), (QStringList{"doc.bin", "doc.sec", "other-link", "target"}));

    // A shorter content leaves nothing of the longer one behind.
    write(file("short.bin"), "short");
    ASSERT_TRUE(pack(file("short.bin"), file("short.sec")));
    ASSERT_TRUE(unpack(file("short.sec"), target));
    EXPECT_EQ(read(file("other-link")), QByteArray("short"));
}

TEST_F(SecureMessageTargetTest, AnUnpackThroughALinkWritesTheFileItLeadsTo)
{
    const QByteArray content = packedDocument(3000);
    QDir(m_dir.path()).mkdir(QStringLiteral("elsewhere"));
    write(file("elsewhere/real"), "old");
    ASSERT_TRUE(QFile::link(file("elsewhere/real"), file("link")));
    ASSERT_TRUE(unpack(file("doc.sec"), file("link")));
    EXPECT_EQ(read(file("elsewhere/real")), content);
    EXPECT_EQ(QFileInfo(file("link")).symLinkTarget(), file("elsewhere/real")) << "the link stays a link";
}

// As root, the run gives up the power to write any file, so that the file's mode counts.
TEST_F(SecureMessageTargetTest, AnUnpackOverAFileTheUserMayNotWriteIsRefused)
{
    packedDocument(3000);
    write(file("target"), "not yours to write");
    ASSERT_TRUE(
        QFile::setPermissions(file("target"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QStringList command = {kTalvoSec, QStringLiteral("unpack"), file("doc.sec"), file("target")};
    if (::geteuid() == 0)
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--bounding-set"),
                              QStringLiteral("-dac_override,-dac_read_search,-fowner")} +
                  command;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
    process.start(command.takeFirst(), command);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              QStringLiteral("talvo-sec: 错误: 打开文件 error\ntalvo-sec: 解析安全报文失败!\n"));
    EXPECT_EQ(read(file("target")), QByteArray("not yours to write"));
}

// Waits until the process has written that many bytes into a file of the directory other than
// the one it reads, however it named the file (or not).
bool wroteIntoDirectory(qint64 pid, const QString& directory, const QString& input, qint64 bytes)
{
    const QString descriptors = QStringLiteral("/proc/%1/fd").arg(pid);
    for (int attempt = 0; attempt < 6000; ++attempt) {
        for (const QString& fd :
             QDir(descriptors).entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files)) {
            const QString path = descriptors + QLatin1Char('/') + fd;
            const QString target = QFile::symLinkTarget(path);
            struct stat info {};
            if (target.startsWith(directory + QLatin1Char('/')) && target != input &&
                ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_size >= bytes)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Killed halfway through its writing, by a signal that nothing catches: the output or target is
// as it was, and no file beside it holds plaintext or a cut message.
TEST_F(SecureMessageTargetTest, AKilledRunLeavesTheFileAsItWasAndNothingBeside)
{
    write(file("doc.bin"), document(48 * 1024 * 1024));
    ASSERT_TRUE(pack(file("doc.bin"), file("doc.sec")));
    const struct {
        const char* what;
        QString verb;
        QString from;
        QString to;
    } runs[] = {
        {"pack", QStringLiteral("pack"), file("doc.bin"), file("out.sec")},
        {"unpack", QStringLiteral("unpack"), file("doc.sec"), file("target")},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.what);
        // Whole first, so that the killed run meets an existing file.
        QProcess whole;
        whole.start(kTalvoSec, {r.verb, r.from, r.to});
        ASSERT_TRUE(whole.waitForFinished(120000));
        ASSERT_EQ(whole.exitCode(), 0);
        write(r.to, "as it was");
        const QStringList before = entries();

        QProcess killed;
        killed.start(kTalvoSec, {r.verb, r.from, r.to});
        ASSERT_TRUE(killed.waitForStarted());
        EXPECT_TRUE(wroteIntoDirectory(killed.processId(), m_dir.path(), r.from, 8 * 1024 * 1024));
        EXPECT_EQ(killed.state(), QProcess::Running) << "ended before it could be killed";
        killed.kill();
        ASSERT_TRUE(killed.waitForFinished(60000));
        EXPECT_EQ(read(r.to), QByteArray("as it was"));
        EXPECT_EQ(entries(), before);
    }
}

} // namespace
} // namespace talvo::testing
