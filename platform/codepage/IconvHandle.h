#pragma once

#include <iconv.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace talvo::codepage {

// One iconv conversion descriptor, from one encoding to another, for the length of one call.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from);
    ~IconvHandle();
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // Converts from the start of the input as far as it converts, appending to out, and
    // returns how many input bytes were taken; the handle is ready for a fresh input after.
    std::size_t convert(std::string_view in, std::string& out);

private:
    iconv_t m_handle;
};

} // namespace talvo::codepage
