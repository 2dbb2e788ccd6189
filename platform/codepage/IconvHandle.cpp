#include "IconvHandle.h"

#include <cerrno>

namespace talvo::codepage {

namespace {

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

} // namespace

IconvHandle::IconvHandle(const char* to, const char* from) : m_handle(::iconv_open(to, from)) {}

IconvHandle::~IconvHandle()
{
    if (m_handle != kNoHandle)
        ::iconv_close(m_handle);
}

std::size_t IconvHandle::convert(std::string_view in, std::string& out)
{
    if (m_handle == kNoHandle)
        return 0;
    // iconv takes a non-const input pointer but never writes through it.
    char* inPointer = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPointer = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(m_handle, &inPointer, &inLeft, &outPointer, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            break;
    }
    ::iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
    return in.size() - inLeft;
}

} // namespace talvo::codepage
