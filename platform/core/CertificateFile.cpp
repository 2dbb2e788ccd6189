#include "CertificateFile.h"

#include "platform/core/NativePath.h"
#include "platform/core/PrivateFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace talvo {

int writeCertificateFile(const QString& path, const uint8_t* data, std::size_t size)
{
    const QByteArray name = encodeNativePath(path);
    // Not blocking: a named pipe without a reader fails at once instead of holding the page.
    const int descriptor =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return errno;
    // Once open, the writes wait for a slow reader: a pipe takes 64 KiB at most without it.
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(descriptor);
        return error;
    }
    return writeAllAndClose(descriptor, data, size);
}

} // namespace talvo
