#include "SecretFile.h"

#include "platform/core/NativePath.h"
#include "platform/secret/SecretFileRead.h"

#include <cstring>

namespace talvo::keytool {

namespace {

// A password or PIN file is a few bytes; anything larger is no such file.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

QString failure(const QString& path, const QString& why)
{
    return QStringLiteral("cannot read %1: %2").arg(path, why);
}

} // namespace

std::optional<std::vector<std::string>> SecretFile::readLines(const QString& path, std::size_t count,
                                                              QString* error, QString* warning)
{
    SecretFileRead read;
    readSecretFile(encodeNativePath(path).constData(), kMaxFileBytes, SecretFileRead::Links::Follow, read);
    switch (read.outcome) {
    case SecretFileRead::Outcome::CannotOpen:
    case SecretFileRead::Outcome::IsLink:
    case SecretFileRead::Outcome::CannotRead:
        *error = failure(path, QString::fromLocal8Bit(std::strerror(read.error)));
        return std::nullopt;
    case SecretFileRead::Outcome::NotRegular:
    case SecretFileRead::Outcome::TooLarge:
        *error = failure(path, QStringLiteral("not a small regular file"));
        return std::nullopt;
    case SecretFileRead::Outcome::Read:
        break;
    }
    if ((read.mode & 077) != 0)
        *warning = QStringLiteral("warning: other users can read or change %1 (mode %2); keep it private: "
                                  "chmod 600")
                       .arg(path)
                       .arg(read.mode, 4, 8, QLatin1Char('0'));
    return read.lines(count);
}

} // namespace talvo::keytool
