#pragma once

#include <filesystem>
#include <string>

namespace talvo::sim {

// An advisory lock (flock) on a lock file, held while the object lives. Readers share it;
// a writer holds it alone, so nobody reads a state that is being replaced.
class FileLock {
public:
    enum class Mode { Shared, Exclusive };
    enum class Result { Locked, NoDirectory, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Creates the lock file when it is missing; NoDirectory when its directory is. A link or
    // anything but a regular file in its place fails.
    Result acquire(const std::filesystem::path& lockFile, Mode mode, std::string* error);
    void release();

private:
    int m_fd = -1;
};

} // namespace talvo::sim
