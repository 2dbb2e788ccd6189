#include "SimDirectory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

DirectoryCheck checkStateDirectory(const std::filesystem::path& dir, std::string* error)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return DirectoryCheck::Missing;
        if (error)
            *error = describeErrno("cannot open the state directory", dir);
        return DirectoryCheck::Refused;
    }
    struct stat info {};
    DirectoryCheck result = DirectoryCheck::Safe;
    constexpr mode_t kOthersWrite = S_IWGRP | S_IWOTH;
    if (::fstat(fd, &info) != 0) {
        if (error)
            *error = describeErrno("cannot examine the state directory", dir);
        result = DirectoryCheck::Refused;
    } else if ((info.st_mode & kOthersWrite) != 0) {
        char mode[8] = {};
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        if (info.st_uid == ::geteuid() && ::fchmod(fd, info.st_mode & 07777 & ~kOthersWrite) == 0) {
            std::fprintf(stderr,
                         "%s: warning: other users could write the simulated key's directory %s (mode %s); "
                         "it is now writable by its owner only\n",
                         program_invocation_short_name, dir.c_str(), mode);
        } else {
            if (error)
                *error = "the state directory " + dir.string() + " may be written by other users (mode " +
                         mode + ", owner " + std::to_string(info.st_uid) +
                         "); make it writable by its owner only";
            result = DirectoryCheck::Refused;
        }
    }
    ::close(fd);
    return result;
}

bool writeFileAtomically(const std::filesystem::path& file, const std::string& bytes, std::string* error,
                         unsigned mode)
{
    // mkostemp creates the name exclusively with mode 0600 and never through a link.
    std::string name = (file.parent_path() / ("." + file.filename().string() + ".tmp.XXXXXX")).string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    const std::filesystem::path temporary = name;
    if (fd < 0) {
        if (error)
            *error = describeErrno("cannot create a temporary file for", file);
        return false;
    }
    const bool written = (mode == 0600 || ::fchmod(fd, mode) == 0) &&
                         writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
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

bool isTemporaryFileName(const std::string& name)
{
    const std::size_t marker = name.find(".tmp.");
    return name.size() > 1 && name[0] == '.' && marker != std::string::npos && marker > 1 &&
           marker + 5 < name.size();
}

FileRead readKeyFile(const std::filesystem::path& file, std::size_t maxBytes, std::string& bytes,
                     std::string* error)
{
    const auto refuse = [&](const std::string& reason) {
        if (error)
            *error = reason;
        return FileRead::Refused;
    };
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            if (error)
                *error = describeErrno("cannot open", file);
            return FileRead::Missing;
        }
        return refuse(errno == ELOOP ? file.string() + " is a symbolic link"
                                     : describeErrno("cannot open", file));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const std::string reason = describeErrno("cannot examine", file);
        ::close(fd);
        return refuse(reason);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return refuse(file.string() + " is not a regular file");
    }
    const std::string tooLarge = file.string() + " is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        ::close(fd);
        return refuse(tooLarge);
    }
    // The file may still grow while it is read: one byte past the cap tells.
    std::string content(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == content.size()) {
            if (content.size() > maxBytes)
                break;
            content.resize(std::min(content.size() * 2, maxBytes + 1));
        }
        const ssize_t got = ::read(fd, content.data() + done, content.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const std::string reason = describeErrno("cannot read", file);
            ::close(fd);
            return refuse(reason);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (done > maxBytes)
        return refuse(tooLarge);
    content.resize(done);
    bytes = std::move(content);
    return FileRead::Read;
}

} // namespace talvo::sim
