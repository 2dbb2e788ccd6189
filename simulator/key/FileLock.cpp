#include "FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::sim {

FileLock::~FileLock()
{
    release();
}

FileLock::Result FileLock::acquire(const std::filesystem::path& lockFile, Mode mode, std::string* error)
{
    release();
    const auto failed = [&](const std::string& reason) {
        if (error)
            *error = reason;
        release();
        return Result::Failed;
    };
    // Never through a link (it could create a file elsewhere) and never waiting on a pipe.
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | kFlags, 0600);
    if (m_fd < 0 && (errno == EACCES || errno == EROFS))
        m_fd = ::open(lockFile.c_str(), O_RDONLY | kFlags); // a read-only key can still be read
    if (m_fd < 0) {
        const int openErrno = errno;
        if (openErrno == ENOENT || openErrno == ENOTDIR)
            return Result::NoDirectory;
        if (openErrno == ELOOP)
            return failed("the lock file " + lockFile.string() + " is a symbolic link");
        return failed("cannot open the lock file " + lockFile.string() + ": " + std::strerror(openErrno));
    }
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return failed("the lock file " + lockFile.string() + " is not a regular file");
    const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    while (::flock(m_fd, operation) != 0) {
        if (errno == EINTR)
            continue;
        return failed("cannot lock " + lockFile.string() + ": " + std::strerror(errno));
    }
    return Result::Locked;
}

void FileLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd); // closing the only descriptor drops the lock
        m_fd = -1;
    }
}

} // namespace talvo::sim
