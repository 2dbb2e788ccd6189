#include "ReplacementFile.h"

#include "platform/core/NativePath.h"

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

constexpr std::size_t kCopyBlock = 256 * 1024;

bool copyAll(int from, int to)
{
    std::array<char, kCopyBlock> buffer;
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(from, buffer.data(), buffer.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put =
                ::pwrite(to, buffer.data() + done, static_cast<size_t>(got - done), offset + done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            done += put;
        }
        offset += got;
    }
}

// Takes the room the content needs before anything is overwritten; a file system that cannot
// reserve it is written as before.
bool reserve(int target, off_t size)
{
    return size == 0 || ::fallocate(target, FALLOC_FL_KEEP_SIZE, 0, size) == 0 || errno == EOPNOTSUPP ||
           errno == ENOSYS;
}

} // namespace

ReplacementFile::~ReplacementFile()
{
    m_stream.reset();
    if (m_target >= 0)
        ::close(m_target);
}

bool ReplacementFile::create(const QString& targetPath)
{
    m_targetName = resolvedName(encodeNativePath(targetPath));
    if (m_targetName.isEmpty())
        return false;
    m_target = ::open(m_targetName.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_target < 0 && errno != ENOENT)
        return false;
    struct stat info {};
    if (m_target >= 0 && (::fstat(m_target, &info) != 0 || !S_ISREG(info.st_mode)))
        return false;
    if (!m_content.create(directoryOf(m_targetName)))
        return false;
    m_stream = withLargeBuffer(StdioFile(::fdopen(m_content.descriptor(), "w+b")));
    if (!m_stream)
        return false;
    m_content.adopted();
    return true;
}

bool ReplacementFile::isTarget(std::FILE* file) const
{
    struct stat target {};
    struct stat info {};
    return m_target >= 0 && ::fstat(m_target, &target) == 0 && ::fstat(::fileno(file), &info) == 0 &&
           info.st_dev == target.st_dev && info.st_ino == target.st_ino;
}

bool ReplacementFile::commit()
{
    if (!m_stream || std::fflush(m_stream.get()) != 0)
        return false;
    const bool done = m_target >= 0 ? writeInPlace() : linkInNew();
    return done && syncDirectory(directoryOf(m_targetName));
}

bool ReplacementFile::writeInPlace()
{
    struct stat content {};
    return ::fstat(m_content.descriptor(), &content) == 0 && reserve(m_target, content.st_size) &&
           copyAll(m_content.descriptor(), m_target) && ::ftruncate(m_target, content.st_size) == 0 &&
           ::fsync(m_target) == 0;
}

bool ReplacementFile::linkInNew()
{
    const int content = m_content.descriptor();
    if (::fchmod(content, newFileMode()) != 0 || ::fsync(content) != 0)
        return false;
    if (m_content.linkAs(m_targetName))
        return true;
    if (errno != EXDEV)
        return false;
    m_target = ::open(m_targetName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (m_target >= 0 && writeInPlace())
        return true;
    if (m_target >= 0)
        ::unlink(m_targetName.constData());
    return false;
}

} // namespace talvo
