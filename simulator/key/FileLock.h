#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace talvo::sim {

// An advisory lock (flock) on a lock file, held while the object lives. Readers share it;
// a writer holds it alone, so nobody reads a state that is being replaced. A lock that stays
// held (by a stopped or hung process) is waited for a few seconds, not for ever.
class FileLock {
public:
    enum class Mode { Shared, Exclusive };
    enum class Result { Locked, NoDirectory, Failed, Busy };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Any write of the key ends well within this; a holder that takes longer is stopped or hung.
    static constexpr std::chrono::seconds kKeyWait{5};

    // Creates the lock file when it is missing; NoDirectory when its directory is. A link or
    // anything but a regular file in its place fails. Busy, with the lock file named in the
    // error, when another process held it all the while.
    Result acquire(const std::filesystem::path& lockFile, Mode mode, std::string* error,
                   std::chrono::seconds longestWait = kKeyWait);
    void release();

private:
    int m_fd = -1;
};

} // namespace talvo::sim
