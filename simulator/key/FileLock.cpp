#include "FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace talvo::sim {

FileLock::~FileLock()
{
    release();
}

FileLock::Result FileLock::acquire(const std::filesystem::path& lockFile, Mode mode, std::string* error)
{
    release();
    m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0 && (errno == EACCES || errno == EROFS))
        m_fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC); // a read-only key can still be read
    if (m_fd < 0) {
        const int openErrno = errno;
        if (openErrno == ENOENT || openErrno == ENOTDIR)
            return Result::NoDirectory;
        if (error)
            *error = "cannot open the lock file " + lockFile.string() + ": " + std::strerror(openErrno);
        return Result::Failed;
    }
    const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    while (::flock(m_fd, operation) != 0) {
        if (errno == EINTR)
            continue;
        if (error)
            *error = "cannot lock " + lockFile.string() + ": " + std::strerror(errno);
        release();
        return Result::Failed;
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
