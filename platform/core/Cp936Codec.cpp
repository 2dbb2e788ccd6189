#include "Cp936Codec.h"

#include "platform/codepage/CodePage.h"

#include <cstring>

namespace talvo {

namespace {

std::string_view utf8View(const QByteArray& utf8)
{
    return {utf8.constData(), static_cast<std::size_t>(utf8.size())};
}

} // namespace

std::string toCp936(const QString& text)
{
    return codepage::utf8ToCp936(utf8View(text.toUtf8()));
}

std::size_t boundedLength(const char* bytes, std::size_t maxBytes)
{
    if (!bytes)
        return 0;
    const void* zero = std::memchr(bytes, 0, maxBytes);
    return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : maxBytes;
}

QString fromCp936(const char* bytes, std::size_t maxBytes)
{
    const std::size_t length = boundedLength(bytes, maxBytes);
    if (length == 0)
        return {};
    const std::string utf8 =
        codepage::cp936ToUtf8(std::string_view(bytes, length), codepage::Undecodable::QuestionMark);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString fromCp936(const std::string& bytes)
{
    return fromCp936(bytes.data(), bytes.size());
}

std::size_t cp936Length(const QString& text)
{
    return toCp936(text).size();
}

QString truncateToCp936Bytes(const QString& text, std::size_t maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    const std::size_t fitting = codepage::utf8PrefixFittingCp936(utf8View(utf8), maxBytes);
    // As many UTF-16 units as the whole characters of that prefix take.
    return text.left(QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(fitting)).size());
}

void copyToField(const std::string& cp936, char* field, std::size_t fieldSize)
{
    if (!field || fieldSize == 0)
        return;
    std::memset(field, 0, fieldSize);
    std::size_t length = 0;
    const std::size_t limit = fieldSize - 1;
    while (length < cp936.size()) {
        const auto byte = static_cast<unsigned char>(cp936[length]);
        const std::size_t step = (isCp936LeadByte(byte) && length + 1 < cp936.size()) ? 2 : 1;
        if (length + step > limit)
            break;
        length += step;
    }
    std::memcpy(field, cp936.data(), length);
}

} // namespace talvo
