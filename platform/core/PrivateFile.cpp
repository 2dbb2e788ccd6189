#include "PrivateFile.h"

#include "NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

int failWith(int error, int* errorNumber)
{
    if (errorNumber)
        *errorNumber = error;
    return -1;
}

// Ours alone: a regular file, owned by the user, reachable by this one name, writable.
bool isOwnPlainFile(int fd)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
           info.st_nlink == 1 && (info.st_mode & S_IWUSR) != 0;
}

} // namespace

int openPrivateFileForWriting(const QString& path, int* errorNumber)
{
    if (path.isEmpty())
        return failWith(ENOENT, errorNumber);
    const QByteArray name = encodeNativePath(path);
    // A few rounds at most: in a private directory nobody else makes the name in between.
    for (int round = 0; round < 3; ++round) {
        const int existing =
            ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (existing >= 0) {
            if (isOwnPlainFile(existing) && ::ftruncate(existing, 0) == 0 &&
                ::fcntl(existing, F_SETFL, 0) == 0)
                return existing;
            ::close(existing);
        }
        if (existing >= 0 || errno != ENOENT) {
            struct stat info {};
            if (::lstat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                return failWith(EISDIR, errorNumber);
            if (::unlink(name.constData()) != 0 && errno != ENOENT)
                return failWith(errno, errorNumber);
        }
        const int created =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
        if (created >= 0)
            return created;
        if (errno != EEXIST)
            return failWith(errno, errorNumber);
    }
    return failWith(EEXIST, errorNumber);
}

int writePrivateFile(const QString& path, const uint8_t* data, std::size_t size)
{
    int openError = 0;
    const int descriptor = openPrivateFileForWriting(path, &openError);
    if (descriptor < 0)
        return openError;
    return writeAllAndClose(descriptor, data, size);
}

int writeAllAndClose(int descriptor, const uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(descriptor, data + done, size - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(descriptor);
            return error;
        }
        done += static_cast<std::size_t>(written);
    }
    if (::close(descriptor) != 0)
        return errno;
    return 0;
}

} // namespace talvo
