#include "ReadOnceFile.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace talvo {

namespace {
constexpr off_t kReleaseStep = 8 * 1024 * 1024;
}

ReadOnceFile::ReadOnceFile(std::FILE* file)
{
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode))
        m_descriptor = ::fileno(file);
}

void ReadOnceFile::consumed(std::size_t count)
{
    m_read += static_cast<off_t>(count);
    if (m_descriptor < 0 || m_read - m_released < kReleaseStep)
        return;
    // From the start each time: pages that were still being written back last time are clean
    // by now, and go too.
    ::posix_fadvise(m_descriptor, 0, m_read, POSIX_FADV_DONTNEED);
    m_released = m_read;
}

} // namespace talvo
