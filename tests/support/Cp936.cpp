#include "Cp936.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace talvo::testing {

std::string cp936(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    std::string bytes(static_cast<std::size_t>(utf8.size()) * 2, '\0');
    const iconv_t converter = iconv_open("CP936", "UTF-8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    char* in = utf8.data();
    std::size_t inLeft = static_cast<std::size_t>(utf8.size());
    char* out = bytes.data();
    std::size_t outLeft = bytes.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << "CP936 cannot hold \"" << utf8.toStdString() << "\"";
    bytes.resize(bytes.size() - outLeft);
    return bytes;
}

} // namespace talvo::testing
