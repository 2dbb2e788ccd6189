#include "CertificateFile.h"

#include "platform/PrivateFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>

namespace talvo {

int writeCertificateFile(const QString& path, const uint8_t* data, std::size_t size)
{
    const QByteArray name = QFile::encodeName(path);
    // Not blocking: a named pipe without a reader fails at once instead of holding the page.
    const int descriptor =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return errno;
    return writeAllAndClose(descriptor, data, size);
}

} // namespace talvo
