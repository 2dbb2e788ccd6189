#include "UnnamedFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

UnnamedFile::~UnnamedFile()
{
    if (m_owned && m_descriptor >= 0)
        ::close(m_descriptor);
}

bool UnnamedFile::create(const QByteArray& directory)
{
    m_descriptor = ::open(directory.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    m_linkable = m_descriptor >= 0;
    if (m_descriptor >= 0)
        return true;
    if (errno != EOPNOTSUPP && errno != EISDIR)
        return false;
    QByteArray name = directory + "/.talvo-unpack-XXXXXX";
    m_descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_descriptor < 0)
        return false;
    ::unlink(name.constData());
    return true;
}

bool UnnamedFile::linkAs(const QByteArray& name) const
{
    // An unlinked named file cannot be linked again, nor anything without /proc.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_descriptor);
    if (!m_linkable || ::access(self.constData(), F_OK) != 0) {
        errno = EXDEV;
        return false;
    }
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0;
}

QByteArray directoryOf(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}

bool syncDirectory(const QByteArray& directory)
{
    const int descriptor = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL;
    ::close(descriptor);
    return synced;
}

QByteArray resolvedName(const QByteArray& name)
{
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return name;
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

unsigned newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace talvo
