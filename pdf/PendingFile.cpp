#include "PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace talvo::pdf {

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t modeForNewFile()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string reason()
{
    return std::strerror(errno);
}

} // namespace

bool PendingFile::create(const std::string& target, std::string& error)
{
    drop();
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        error = "无法写入输出文件：" + (S_ISREG(existing.st_mode) ? reason() : std::string("不是普通文件"));
        return false;
    }
    std::string pattern = directoryOf(target) + "/.talvo-stamp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        error = "无法在输出文件的目录中写入：" + reason();
        return false;
    }
    m_path = name.data();
    m_target = target;
    // The sealed document keeps the permissions of the one it replaces.
    if (::fchmod(m_descriptor, exists ? (existing.st_mode & 07777) : modeForNewFile()) != 0) {
        error = "无法写入输出文件：" + reason();
        drop();
        return false;
    }
    return true;
}

PendingFile::~PendingFile()
{
    drop();
}

void PendingFile::drop()
{
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
        m_descriptor = -1;
    }
    if (!m_path.empty()) {
        ::unlink(m_path.c_str());
        m_path.clear();
    }
}

bool PendingFile::commit(std::string& error)
{
    if (::fsync(m_descriptor) != 0 || ::close(m_descriptor) != 0) {
        m_descriptor = -1;
        error = "无法写入输出文件：" + reason();
        drop();
        return false;
    }
    m_descriptor = -1;
    if (::rename(m_path.c_str(), m_target.c_str()) != 0) {
        error = "无法写入输出文件：" + reason();
        drop();
        return false;
    }
    m_path.clear();
    // The new name lasts only once the directory is on the disk too.
    const int directory = ::open(directoryOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
    return true;
}

} // namespace talvo::pdf
