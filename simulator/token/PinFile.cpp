#include "PinFile.h"

#include <openssl/crypto.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::sim {

namespace {

// A PIN is a line of text; a file much larger than that is no PIN file.
constexpr off_t kMaxPinFileSize = 1024;

bool refuse(const std::filesystem::path& file, const std::string& reason, std::string* error)
{
    if (error)
        *error = "the PIN file " + file.string() + " " + reason;
    return false;
}

} // namespace

bool readPinFile(const std::filesystem::path& file, std::string& pin, std::string* error)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(file,
                      errno == ELOOP ? "is a symbolic link"
                                     : std::string("cannot be opened: ") + std::strerror(errno),
                      error);
    struct stat info {};
    std::string reason;
    if (::fstat(fd, &info) != 0) {
        reason = std::string("cannot be examined: ") + std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        reason = "is not a regular file";
    } else if (info.st_uid != ::geteuid()) {
        reason = "belongs to another user (uid " + std::to_string(info.st_uid) + ")";
    } else if ((info.st_mode & 077) != 0) {
        char mode[8] = {};
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        reason = std::string("may be read or changed by other users (mode ") + mode +
                 "); make it private: chmod 600 " + file.string();
    } else if (info.st_size > kMaxPinFileSize) {
        reason = "is larger than " + std::to_string(kMaxPinFileSize) + " bytes";
    }
    std::string bytes(static_cast<std::size_t>(kMaxPinFileSize) + 1, '\0');
    ssize_t got = 0;
    if (reason.empty()) {
        do
            got = ::read(fd, bytes.data(), bytes.size());
        while (got < 0 && errno == EINTR);
        if (got < 0)
            reason = std::string("cannot be read: ") + std::strerror(errno);
    }
    ::close(fd);
    if (!reason.empty())
        return refuse(file, reason, error);
    bytes.resize(static_cast<std::size_t>(got));
    const std::size_t end = bytes.find('\n');
    std::string line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty() || line.find('\0') != std::string::npos)
        return refuse(file, "holds no PIN on its first line", error);
    pin = std::move(line);
    OPENSSL_cleanse(bytes.data(), bytes.size());
    return true;
}

} // namespace talvo::sim
