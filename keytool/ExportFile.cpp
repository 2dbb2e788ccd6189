#include "ExportFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace talvo::keytool {

int writeExportFile(const QString& path, const uint8_t* data, std::size_t size)
{
    const QByteArray name = QFile::encodeName(path);
    const int descriptor =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return errno;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(descriptor, data + done, size - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            const int error = errno;
            ::close(descriptor);
            return error;
        }
        done += static_cast<std::size_t>(written);
    }
    // A full disk may only show when the data reaches it.
    return ::close(descriptor) == 0 ? 0 : errno;
}

} // namespace talvo::keytool
