#include "FileTrust.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

bool trustedOwner(uid_t owner)
{
    return owner == 0 || owner == ::geteuid();
}

std::string ownerText(uid_t owner)
{
    return "owned by user " + std::to_string(owner);
}

std::optional<std::string> whyDirectoryUntrusted(const std::filesystem::path& canonicalDirectory)
{
    for (std::filesystem::path directory = canonicalDirectory;; directory = directory.parent_path()) {
        struct stat status {};
        if (::lstat(directory.c_str(), &status) != 0)
            return "its directory " + directory.string() + " cannot be examined: " + std::strerror(errno);
        if (!trustedOwner(status.st_uid))
            return "its directory " + directory.string() + " is " + ownerText(status.st_uid);
        if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (status.st_mode & S_ISVTX) == 0)
            return "its directory " + directory.string() + " is writable by other users";
        if (directory == directory.root_path() || directory.empty())
            return std::nullopt;
    }
}

} // namespace

std::optional<std::string> whyUntrusted(const std::filesystem::path& file)
{
    std::error_code ec;
    const std::filesystem::path real = std::filesystem::canonical(file, ec);
    if (ec)
        return "it cannot be resolved: " + ec.message();
    struct stat status {};
    if (::lstat(real.c_str(), &status) != 0)
        return std::string("it cannot be examined: ") + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return "it is not a regular file";
    if (!trustedOwner(status.st_uid))
        return "it is " + ownerText(status.st_uid);
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "it is writable by other users";
    if (std::optional<std::string> reason = whyDirectoryUntrusted(real.parent_path()))
        return reason;
    // A link is only as safe as the directory that holds it.
    const std::filesystem::path linkDirectory = std::filesystem::canonical(file.parent_path(), ec);
    if (ec)
        return "its directory cannot be resolved: " + ec.message();
    return linkDirectory == real.parent_path() ? std::nullopt : whyDirectoryUntrusted(linkDirectory);
}

} // namespace talvo
