#include "PendingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace talvo::pdf {

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name no other file has, made by the kernel's O_EXCL: the new file gets the mode asked for,
// less the umask, without reading the umask (which a thread cannot do without changing it).
int createUnique(const std::string& directory, mode_t mode, std::string& path)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = directory + "/.talvo-stamp-";
        for (int i = 0; i < 12; ++i)
            name.push_back(kLetters[random() % (sizeof kLetters - 1)]);
        const int descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (descriptor >= 0 || errno != EEXIST) {
            path = name;
            return descriptor;
        }
    }
    return -1;
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
    // The sealed document keeps the permissions of the one it replaces; a new one gets a new
    // file's.
    std::string path;
    m_descriptor = createUnique(directoryOf(target), exists ? 0600 : 0666, path);
    if (m_descriptor < 0) {
        error = "无法在输出文件的目录中写入：" + reason();
        return false;
    }
    m_path = path;
    m_target = target;
    if (exists && ::fchmod(m_descriptor, existing.st_mode & 07777) != 0) {
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
