#include "Cp936Text.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>
#include <memory>

namespace talvo::sim {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

Converter openConverter(const char* to, const char* from)
{
    const iconv_t handle = iconv_open(to, from);
    return Converter(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle);
}

// Converts as much as it can; stops at the first byte that does not convert and says where.
std::size_t convert(void* handle, std::string_view in, std::string& out)
{
    char* inPointer = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result =
            iconv(static_cast<iconv_t>(handle), &inPointer, &inLeft, &outPointer, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            break;
    }
    return in.size() - inLeft;
}

} // namespace

bool utf8ToCp936(std::string_view utf8, std::string& cp936)
{
    const Converter converter = openConverter("CP936", "UTF-8");
    if (!converter)
        return false;
    std::string out;
    if (convert(converter.get(), utf8, out) != utf8.size())
        return false;
    cp936 = std::move(out);
    return true;
}

std::string cp936ToUtf8(std::string_view cp936)
{
    const Converter converter = openConverter("UTF-8", "CP936");
    std::string out;
    while (!cp936.empty()) {
        const std::size_t done = converter ? convert(converter.get(), cp936, out) : 0;
        cp936.remove_prefix(done);
        if (cp936.empty())
            break;
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(cp936.front()));
        out += escape;
        cp936.remove_prefix(1);
        if (converter)
            iconv(static_cast<iconv_t>(converter.get()), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace talvo::sim
