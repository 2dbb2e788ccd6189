#include "ReplacementFile.h"

#include "platform/core/NativePath.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The name itself, or where a link at it leads; empty for a link that leads nowhere.
QByteArray resolvedName(const QByteArray& name)
{
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return name;
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

QByteArray directoryOf(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}

} // namespace

ReplacementFile::~ReplacementFile()
{
    discard();
}

bool ReplacementFile::create(const QString& targetPath)
{
    m_targetName = resolvedName(encodeNativePath(targetPath));
    if (m_targetName.isEmpty())
        return false;
    // What the target would let us do to it in place, it lets us do by replacing it; no more.
    const int target = ::open(m_targetName.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (target < 0 && errno != ENOENT)
        return false;
    m_mode = newFileMode();
    if (target >= 0) {
        struct stat info {};
        const bool regular = ::fstat(target, &info) == 0 && S_ISREG(info.st_mode);
        ::close(target);
        if (!regular)
            return false;
        m_targetExists = true;
        m_mode = info.st_mode & 07777;
        m_targetDevice = info.st_dev;
        m_targetInode = info.st_ino;
    }
    QByteArray name = directoryOf(m_targetName) + "/.talvo-unpack-XXXXXX";
    // mkostemp creates it exclusively, with mode 0600.
    const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0)
        return false;
    m_name = name;
    m_stream = withLargeBuffer(StdioFile(::fdopen(descriptor, "w+b")));
    if (!m_stream) {
        ::close(descriptor);
        discard();
        return false;
    }
    return true;
}

bool ReplacementFile::isTarget(std::FILE* file) const
{
    struct stat info {};
    return m_targetExists && ::fstat(::fileno(file), &info) == 0 && info.st_dev == m_targetDevice &&
           info.st_ino == m_targetInode;
}

bool ReplacementFile::commit()
{
    if (!m_stream || ::fchmod(::fileno(m_stream.get()), m_mode) != 0 || !closeStdioFile(m_stream) ||
        ::rename(m_name.constData(), m_targetName.constData()) != 0) {
        discard();
        return false;
    }
    m_name.clear();
    return true;
}

void ReplacementFile::discard()
{
    m_stream.reset();
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    m_name.clear();
}

} // namespace talvo
