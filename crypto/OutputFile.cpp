#include "OutputFile.h"

#include "platform/core/NativePath.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

OutputFile::~OutputFile()
{
    m_stream.reset();
    if (!m_namedTemporary.isEmpty())
        ::unlink(m_namedTemporary.constData());
}

bool OutputFile::open(const QString& path, bool waitForReader)
{
    const QByteArray name = encodeNativePath(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return openDirectly(name, waitForReader);
    m_name = resolvedName(name);
    if (m_name.isEmpty())
        return false;
    m_mode = newFileMode();
    // What the output would let us do to it in place, it lets us do by replacing it; no more.
    const int output = ::open(m_name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (output < 0 && errno != ENOENT)
        return false;
    if (output >= 0) {
        const bool regular = ::fstat(output, &info) == 0 && S_ISREG(info.st_mode);
        ::close(output);
        if (!regular)
            return false;
        m_outputExists = true;
        m_mode = info.st_mode & 07777;
        m_device = info.st_dev;
        m_inode = info.st_ino;
    }
    return openBeside();
}

bool OutputFile::openDirectly(const QByteArray& name, bool waitForReader)
{
    m_direct = true;
    const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (waitForReader ? 0 : O_NONBLOCK);
    const int descriptor = ::open(name.constData(), flags);
    if (descriptor < 0)
        return false;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || ::fcntl(descriptor, F_SETFL, 0) != 0) {
        ::close(descriptor);
        return false;
    }
    m_device = info.st_dev;
    m_inode = info.st_ino;
    m_outputExists = true;
    m_stream = withLargeBuffer(StdioFile(::fdopen(descriptor, "wb")));
    if (!m_stream)
        ::close(descriptor);
    return m_stream != nullptr;
}

bool OutputFile::openBeside()
{
    const QByteArray directory = directoryOf(m_name);
    int descriptor = -1;
    if (m_unnamed.create(directory)) {
        descriptor = m_unnamed.descriptor();
        if (!m_unnamed.linkable()) {
            // This file system has no unnamed files: write a named one and rename it.
            QByteArray name = directory + "/.talvo-pack-XXXXXX";
            descriptor = ::mkostemp(name.data(), O_CLOEXEC);
            if (descriptor < 0)
                return false;
            m_namedTemporary = name;
        }
    }
    if (descriptor < 0)
        return false;
    m_stream = withLargeBuffer(StdioFile(::fdopen(descriptor, "wb")));
    if (!m_stream) {
        if (m_namedTemporary.size() > 0)
            ::close(descriptor);
        return false;
    }
    if (m_namedTemporary.isEmpty())
        m_unnamed.adopted();
    return true;
}

bool OutputFile::isOutput(std::FILE* file) const
{
    struct stat info {};
    return m_outputExists && ::fstat(::fileno(file), &info) == 0 && info.st_dev == m_device &&
           info.st_ino == m_inode;
}

bool OutputFile::commit()
{
    if (m_direct)
        return closeStdioFile(m_stream);
    const int descriptor = ::fileno(m_stream.get());
    if (std::fflush(m_stream.get()) != 0 || ::fchmod(descriptor, m_mode) != 0 || ::fsync(descriptor) != 0)
        return false;
    const QByteArray directory = directoryOf(m_name);
    if (m_namedTemporary.isEmpty()) {
        if (!m_outputExists) {
            if (!m_unnamed.linkAs(m_name))
                return false;
            return closeStdioFile(m_stream) && syncDirectory(directory);
        }
        // A name of its own first, since a link cannot take the place of the old output.
        QByteArray name = directory + "/.talvo-pack-XXXXXX";
        const int placeholder = ::mkostemp(name.data(), O_CLOEXEC);
        if (placeholder < 0)
            return false;
        ::close(placeholder);
        ::unlink(name.constData());
        if (!m_unnamed.linkAs(name))
            return false;
        m_namedTemporary = name;
    }
    if (!closeStdioFile(m_stream) || ::rename(m_namedTemporary.constData(), m_name.constData()) != 0)
        return false;
    m_namedTemporary.clear();
    return syncDirectory(directory);
}

} // namespace talvo
