#include "SimDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::sim {

namespace {

std::string describeErrno(const std::string& what, const std::filesystem::path& file)
{
    return what + " " + file.string() + ": " + std::strerror(errno);
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

std::filesystem::path stateDirectory()
{
    if (const char* dir = std::getenv("TALVO_SIM_DIR"); dir && *dir)
        return dir;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "talvo-sim";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/tmp") / ".local/share/talvo-sim";
}

std::filesystem::path unpluggedMarker(const std::filesystem::path& dir)
{
    return dir / "unplugged";
}

bool isPlugged(const std::filesystem::path& dir)
{
    std::error_code ec;
    return !std::filesystem::exists(unpluggedMarker(dir), ec);
}

bool writeFileAtomically(const std::filesystem::path& file, const std::string& bytes, std::string* error,
                         unsigned mode)
{
    const std::filesystem::path temporary =
        file.parent_path() / ("." + file.filename().string() + ".tmp." + std::to_string(::getpid()));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) {
        if (error)
            *error = describeErrno("cannot create", temporary);
        return false;
    }
    const bool written = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written) {
        errno = savedErrno;
        if (error)
            *error = describeErrno("cannot write", temporary);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), file.c_str()) != 0) {
        if (error)
            *error = describeErrno("cannot replace", file);
        ::unlink(temporary.c_str());
        return false;
    }
    const int dirFd = ::open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string* error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        if (error)
            *error = describeErrno("cannot open", file);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        if (error)
            *error = "cannot read " + file.string();
        return false;
    }
    bytes = content.str();
    return true;
}

} // namespace talvo::sim
