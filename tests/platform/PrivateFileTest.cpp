#include "platform/PrivateFile.h"

#include "tests/support/TempDirectory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using talvo::openPrivateFileForWriting;
using talvo::testing::TempDirectory;

// What may stand at a fixed name of a directory that was once loose. The victim is a file
// elsewhere that a careless open would write into.
struct Planted {
    const char* what;
    std::function<bool(const QByteArray& path, const QByteArray& victim)> plant;
    bool needsRoot = false;
};

bool writeBytes(const QByteArray& path, const char* bytes)
{
    TempDirectory::writeFile(QFile::decodeName(path), bytes);
    return QFile::exists(QFile::decodeName(path));
}

TEST(PrivateFileTest, OnlyTheUsersOwnPlainFileIsWrittenAnythingElseIsReplaced)
{
    const std::vector<Planted> cases = {
        {"nothing", [](const QByteArray&, const QByteArray&) { return true; }},
        {"an own file with old content",
         [](const QByteArray& p, const QByteArray&) { return writeBytes(p, "old"); }},
        {"a pipe", [](const QByteArray& p, const QByteArray&) { return ::mkfifo(p.constData(), 0600) == 0; }},
        {"a link to the victim",
         [](const QByteArray& p, const QByteArray& v) {
             return ::symlink(v.constData(), p.constData()) == 0;
         }},
        {"a dangling link",
         [](const QByteArray& p, const QByteArray&) {
             return ::symlink("/nonexistent/x", p.constData()) == 0;
         }},
        {"a second name of the victim",
         [](const QByteArray& p, const QByteArray& v) { return ::link(v.constData(), p.constData()) == 0; }},
        {"an own file only readable",
         [](const QByteArray& p, const QByteArray&) {
             return writeBytes(p, "old") && ::chmod(p.constData(), 0400) == 0;
         }},
        {"another user's file",
         [](const QByteArray& p, const QByteArray&) {
             return writeBytes(p, "theirs") && ::chmod(p.constData(), 0666) == 0 &&
                    ::chown(p.constData(), 65534, 65534) == 0;
         },
         true},
    };
    for (const Planted& planted : cases) {
        SCOPED_TRACE(planted.what);
        if (planted.needsRoot && ::geteuid() != 0)
            continue;
        const TempDirectory directory;
        const TempDirectory elsewhere;
        const QString victim = elsewhere.file("victim");
        TempDirectory::writeFile(victim, "victim");
        const QString path = directory.file("__tmpSealPicFile.dat");
        const QByteArray name = QFile::encodeName(path);
        ASSERT_TRUE(planted.plant(name, QFile::encodeName(victim)));
        struct stat before {};
        const bool wasThere = ::lstat(name.constData(), &before) == 0;

        QElapsedTimer timer;
        timer.start();
        int error = 0;
        const int fd = openPrivateFileForWriting(path, &error);
        EXPECT_LT(timer.elapsed(), 1000);
        ASSERT_GE(fd, 0) << std::strerror(error);
        ASSERT_EQ(::write(fd, "new", 3), 3);
        EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
        ::close(fd);

        struct stat after {};
        ASSERT_EQ(::lstat(name.constData(), &after), 0);
        EXPECT_TRUE(S_ISREG(after.st_mode));
        EXPECT_EQ(after.st_uid, ::getuid());
        EXPECT_EQ(after.st_nlink, 1u);
        EXPECT_EQ(TempDirectory::readFile(path), QByteArray("new"));
        EXPECT_EQ(TempDirectory::readFile(victim), QByteArray("victim"));
        if (wasThere && std::string_view(planted.what).starts_with("an own file with"))
            EXPECT_EQ(after.st_ino, before.st_ino) << "the user's own file is reused";
        else
            EXPECT_EQ(after.st_mode & 0777, 0600u) << "made anew";
    }
}

TEST(PrivateFileTest, ADirectoryAtTheNameIsAnAccessError)
{
    const TempDirectory directory;
    const QString path = directory.file("__tmpCertFile.cer");
    ASSERT_TRUE(QDir().mkdir(path));
    int error = 0;
    EXPECT_EQ(openPrivateFileForWriting(path, &error), -1);
    EXPECT_EQ(error, EISDIR);
    EXPECT_TRUE(QFileInfo(path).isDir());

    EXPECT_EQ(openPrivateFileForWriting(directory.file("no-such-dir/x"), &error), -1);
    EXPECT_EQ(error, ENOENT);
}

} // namespace
