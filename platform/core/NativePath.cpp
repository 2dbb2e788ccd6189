#include "NativePath.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>

namespace talvo {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence that starts here, or 0 (overlong forms,
// surrogates and values beyond U+10FFFF are not well formed).
qsizetype sequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!isContinuation(byte(i)))
            return 0;
    }
    return length;
}

bool isEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

// The names of the directory's entries that Qt shows as this name.
QList<QByteArray> entriesShownAs(const QString& directory, const QString& name)
{
    QList<QByteArray> matches;
    DIR* listing = ::opendir(encodeNativePath(directory).constData());
    if (!listing)
        return matches;
    while (const dirent* entry = ::readdir(listing)) {
        if (QFile::decodeName(entry->d_name) == name)
            matches.append(QByteArray(entry->d_name));
    }
    ::closedir(listing);
    return matches;
}

} // namespace

QString decodeNativePath(QByteArrayView bytes)
{
    QString path;
    path.reserve(bytes.size());
    qsizetype runStart = 0;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = sequenceLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        path += QString::fromUtf8(bytes.sliced(runStart, at - runStart));
        path += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    path += QString::fromUtf8(bytes.sliced(runStart));
    return path;
}

QByteArray encodeNativePath(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    const QStringView view(path);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        const char16_t unit = view[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < view.size() &&
            QChar::isLowSurrogate(view[i + 1].unicode())) {
            ++i;
            continue;
        }
        if (!isEscapedByte(unit))
            continue;
        bytes += view.sliced(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(unit - kEscapeBase);
        runStart = i + 1;
    }
    bytes += view.sliced(runStart).toUtf8();
    return bytes;
}

std::optional<QString> resolveShownPath(const QString& shown)
{
    if (!shown.contains(QChar::ReplacementCharacter))
        return shown;
    const QStringList names = shown.split(QLatin1Char('/'));
    QString resolved;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& name = names[i];
        QString step = name;
        if (name.contains(QChar::ReplacementCharacter)) {
            const QString directory = i == 0               ? QStringLiteral(".")
                                      : resolved.isEmpty() ? QStringLiteral("/")
                                                           : resolved;
            const QList<QByteArray> matches = entriesShownAs(directory, name);
            if (matches.size() > 1)
                return std::nullopt;
            if (matches.size() == 1)
                step = decodeNativePath(matches.front());
        }
        if (i > 0)
            resolved += QLatin1Char('/');
        resolved += step;
    }
    return resolved;
}

} // namespace talvo
