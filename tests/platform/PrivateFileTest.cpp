#include "platform/core/PrivateFile.h"

#include "support/TempDirectory.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using talvo::testing::TempDirectory;

// What may stand at a fixed name (the seal list's tests plant a pipe being read and another
// user's file). The victim is a file elsewhere that a careless open would write into.
struct Planted {
    const char* what;
    std::function<int(const char* path, const char* victim)> plant;
    bool reused;
};

TEST(PrivateFileTest, OnlyTheUsersOwnPlainFileIsWrittenAnythingElseIsMadeAnew)
{
    const std::vector<Planted> cases = {
        {"an own file", [](const char* p, const char*) { return ::close(::creat(p, 0600)); }, true},
        {"a pipe nobody reads", [](const char* p, const char*) { return ::mkfifo(p, 0600); }, false},
        {"a link to the victim", [](const char* p, const char* v) { return ::symlink(v, p); }, false},
        {"a dangling link", [](const char* p, const char*) { return ::symlink("/nonexistent/x", p); }, false},
        {"a second name of the victim", [](const char* p, const char* v) { return ::link(v, p); }, false},
        {"an own file only readable", [](const char* p, const char*) { return ::close(::creat(p, 0400)); },
         false},
    };
    for (const Planted& planted : cases) {
        SCOPED_TRACE(planted.what);
        const TempDirectory directory;
        const QString victim = directory.file("victim");
        TempDirectory::writeFile(victim, "victim");
        const QString path = directory.file("__tmpCertFile.cer");
        const QByteArray name = QFile::encodeName(path);
        ASSERT_EQ(planted.plant(name.constData(), QFile::encodeName(victim).constData()), 0);
        struct stat before {};
        ASSERT_EQ(::lstat(name.constData(), &before), 0);

        int error = 0;
        const int fd = talvo::openPrivateFileForWriting(path, &error);
        ASSERT_GE(fd, 0) << std::strerror(error);
        ASSERT_EQ(::write(fd, "new", 3), 3);
        ::close(fd);

        struct stat after {};
        ASSERT_EQ(::lstat(name.constData(), &after), 0);
        EXPECT_TRUE(S_ISREG(after.st_mode));
        EXPECT_EQ(after.st_nlink, 1u);
        EXPECT_EQ(after.st_mode & 0777, 0600u);
        if (planted.reused) {
            EXPECT_EQ(after.st_ino, before.st_ino);
        }
        EXPECT_EQ(TempDirectory::readFile(path), QByteArray("new"));
        EXPECT_EQ(TempDirectory::readFile(victim), QByteArray("victim"));
    }
}

} // namespace
