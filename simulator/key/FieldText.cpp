#include "FieldText.h"

#include <cstring>

namespace talvo::sim {

std::string_view textInBuffer(const char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return {};
    const void* zero = std::memchr(buffer, 0, size);
    return {buffer, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer) : size};
}

std::string_view cutText(std::string_view text, std::size_t max)
{
    std::size_t length = 0;
    while (length < text.size()) {
        const auto byte = static_cast<unsigned char>(text[length]);
        const std::size_t step = (byte >= 0x81 && byte <= 0xFE && length + 1 < text.size()) ? 2 : 1;
        if (length + step > max)
            break;
        length += step;
    }
    return text.substr(0, length);
}

void writeField(std::string_view text, char* field, std::size_t fieldSize)
{
    if (!field || fieldSize == 0)
        return;
    const std::string_view fitting = cutText(text, fieldSize - 1);
    std::memcpy(field, fitting.data(), fitting.size());
    field[fitting.size()] = '\0';
}

} // namespace talvo::sim
