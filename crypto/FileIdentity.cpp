#include "FileIdentity.h"

#include <utility>

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

bool namesSameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 &&
           ::stat(QFile::encodeName(second).constData(), &b) == 0 && sameInode(a, b);
}

bool sameOpenFile(std::FILE* first, std::FILE* second)
{
    struct stat a {};
    struct stat b {};
    return ::fstat(::fileno(first), &a) == 0 && ::fstat(::fileno(second), &b) == 0 && sameInode(a, b);
}

StdioFile openOutputKeepingContent(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    StdioFile file(::fdopen(fd, "wb"));
    if (!file)
        ::close(fd);
    return withLargeBuffer(std::move(file));
}

bool truncateOutput(std::FILE* output)
{
    struct stat info {};
    if (::fstat(::fileno(output), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) || ::ftruncate(::fileno(output), 0) == 0;
}

bool isRegularFile(std::FILE* file)
{
    struct stat info {};
    return ::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace talvo
