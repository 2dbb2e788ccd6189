#include "Cp936Codec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace talvo {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};

// Converts as much as it can; an unconvertible or malformed input unit becomes '?'.
std::string convert(const char* to, const char* from, const std::string& input, std::size_t unitSize)
{
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1))
        return {};
    std::unique_ptr<void, IconvCloser> handle(raw);

    std::string output;
    output.reserve(input.size() * 2 + 4);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(raw, &in, &inLeft, &out, &outLeft);
        output.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: replace one input unit and go on.
            output.push_back('?');
            const std::size_t skip = inLeft < unitSize ? inLeft : unitSize;
            in += skip;
            inLeft -= skip;
            iconv(raw, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return output;
}

std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

} // namespace

std::string toCp936(const QString& text)
{
    // Convert character by character so that one unmappable character costs one '?'.
    const QByteArray utf8 = text.toUtf8();
    std::string result;
    result.reserve(static_cast<std::size_t>(utf8.size()));
    std::size_t i = 0;
    const auto size = static_cast<std::size_t>(utf8.size());
    while (i < size) {
        const auto lead = static_cast<unsigned char>(utf8[static_cast<qsizetype>(i)]);
        if (lead < 0x80) {
            result.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        std::size_t length = utf8SequenceLength(lead);
        if (i + length > size)
            length = size - i;
        const std::string one(utf8.constData() + i, length);
        const std::string converted = convert("CP936", "UTF-8", one, length);
        result += converted.empty() ? std::string("?") : converted;
        i += length;
    }
    return result;
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
    const std::string utf8 = convert("UTF-8", "CP936", std::string(bytes, length), 1);
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
    std::size_t used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        // Keep surrogate pairs together.
        const qsizetype step = (text[end].isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
        const std::size_t bytes = toCp936(text.mid(end, step)).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        end += step;
    }
    return text.left(end);
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
