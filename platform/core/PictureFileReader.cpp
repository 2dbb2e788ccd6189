#include "PictureFileReader.h"

#include "platform/core/NativePath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

PictureFileReader::PictureFileReader(const QString& path)
{
    if (path.isEmpty()) {
        m_openError = ENOENT;
        return;
    }
    const QByteArray name = encodeNativePath(path);
    m_descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_descriptor < 0) {
        m_openError = errno;
        return;
    }
    struct stat info {};
    if (::fstat(m_descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_descriptor);
        m_descriptor = -1;
        m_openError = EACCES;
        return;
    }
    m_size = static_cast<int64_t>(info.st_size);
    m_modified = info.st_mtim;
}

PictureFileReader::~PictureFileReader()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

int PictureFileReader::readExactly(uint8_t* buffer, std::size_t size)
{
    if (!isOpen())
        return EBADF;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(m_descriptor, buffer + done, size - done, static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            return unchangedSinceOpen() ? EIO : kChanged;
        done += static_cast<std::size_t>(got);
    }
    // A byte beyond, or a write since the size was taken, and what was read is not the picture.
    char beyond = 0;
    if (::pread(m_descriptor, &beyond, 1, static_cast<off_t>(size)) != 0 || !unchangedSinceOpen())
        return kChanged;
    return 0;
}

bool PictureFileReader::unchangedSinceOpen() const
{
    struct stat info {};
    return ::fstat(m_descriptor, &info) == 0 && info.st_size == m_size &&
           info.st_mtim.tv_sec == m_modified.tv_sec && info.st_mtim.tv_nsec == m_modified.tv_nsec;
}

} // namespace talvo
