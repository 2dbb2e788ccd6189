#include "FileLock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace talvo::sim {

namespace {

constexpr std::chrono::milliseconds kLongestPause{50};

} // namespace

FileLock::~FileLock()
{
    release();
}

FileLock::Result FileLock::acquire(const std::filesystem::path& lockFile, Mode mode, std::string* error,
                                   std::chrono::seconds longestWait)
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
    // Polled rather than waited on: the driver lives in its caller's process, whose signals
    // and timers are not its own to use.
    const int operation = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + longestWait;
    std::chrono::milliseconds pause{1};
    while (::flock(m_fd, operation) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return failed("cannot lock " + lockFile.string() + ": " + std::strerror(errno));
        if (std::chrono::steady_clock::now() >= deadline) {
            if (error)
                *error = lockFile.string() + " is locked by another process (waited " +
                         std::to_string(longestWait.count()) +
                         " s; a stopped or hung user of the key holds it)";
            release();
            return Result::Busy;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestPause);
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
