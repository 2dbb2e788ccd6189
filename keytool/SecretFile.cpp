#include "SecretFile.h"

#include "platform/core/NativePath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::keytool {

namespace {

// A password or PIN file is a few bytes; anything larger is no such file.
constexpr off_t kMaxFileBytes = 64 * 1024;

QString failure(const QString& path, const QString& why)
{
    return QStringLiteral("cannot read %1: %2").arg(path, why);
}

} // namespace

std::optional<std::vector<std::string>> SecretFile::readLines(const QString& path, std::size_t count,
                                                              QString* error, QString* warning)
{
    const QByteArray name = encodeNativePath(path);
    // Non-blocking, so that a FIFO or a device named by mistake cannot hang the program.
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        *error = failure(path, QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes) {
        ::close(descriptor);
        *error = failure(path, QStringLiteral("not a small regular file"));
        return std::nullopt;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        *warning = QStringLiteral("warning: other users can read or change %1 (mode %2); keep it private: "
                                  "chmod 600")
                       .arg(path)
                       .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t got = ::read(descriptor, content.data() + done, content.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int readError = errno;
            ::close(descriptor);
            *error = failure(path, QString::fromLocal8Bit(std::strerror(readError)));
            return std::nullopt;
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    content.resize(done);

    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < count) {
        if (start >= content.size()) {
            lines.emplace_back();
            continue;
        }
        const std::size_t end = content.find('\n', start);
        std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end == std::string::npos ? content.size() : end + 1;
    }
    return lines;
}

} // namespace talvo::keytool
