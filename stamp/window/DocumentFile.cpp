#include "DocumentFile.h"

#include "platform/core/NativePath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::stamp {

namespace {

QString systemError(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

} // namespace

DocumentFile DocumentFile::read(const QString& path)
{
    DocumentFile file;
    const int descriptor = ::open(encodeNativePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        file.error = QStringLiteral("无法打开文件: %1").arg(systemError(errno));
        return file;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        file.error = QStringLiteral("不是普通文件");
        ::close(descriptor);
        return file;
    }
    file.bytes.reserve(static_cast<qsizetype>(status.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got > 0) {
            file.bytes.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            file.error = QStringLiteral("无法读取文件: %1").arg(systemError(errno));
        break;
    }
    ::close(descriptor);
    if (!file.error.isEmpty())
        file.bytes.clear();
    return file;
}

bool DocumentFile::looksLikePdf() const
{
    return bytes.left(1024).contains("%PDF-");
}

} // namespace talvo::stamp
