#include "FileIdentity.h"

#include "platform/core/NativePath.h"

#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Regular, and from now on read and written blocking, as the streams expect.
bool isRegularNowBlocking(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::fcntl(fd, F_SETFL, 0) == 0;
}

StdioFile closed(int fd)
{
    if (fd >= 0)
        ::close(fd);
    return nullptr;
}

StdioFile streamOf(int fd, const char* mode)
{
    StdioFile file(::fdopen(fd, mode));
    if (!file)
        ::close(fd);
    return withLargeBuffer(std::move(file));
}

} // namespace

bool namesSameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    return ::stat(encodeNativePath(first).constData(), &a) == 0 &&
           ::stat(encodeNativePath(second).constData(), &b) == 0 && sameInode(a, b);
}

StdioFile openForReading(const QString& path, bool waitForWriter)
{
    const int flags = O_RDONLY | O_NOCTTY | O_CLOEXEC | (waitForWriter ? 0 : O_NONBLOCK);
    const int fd = ::open(encodeNativePath(path).constData(), flags);
    return fd < 0 || ::fcntl(fd, F_SETFL, 0) != 0 ? closed(fd) : streamOf(fd, "rb");
}

StdioFile openRegularFileForReading(const QString& path)
{
    const int fd = ::open(encodeNativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    return fd < 0 || !isRegularNowBlocking(fd) ? closed(fd) : streamOf(fd, "rb");
}

bool namesNonRegularFile(const QString& path)
{
    struct stat info {};
    return ::stat(encodeNativePath(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
}

bool isDirectory(std::FILE* file)
{
    struct stat info {};
    return ::fstat(::fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace talvo
