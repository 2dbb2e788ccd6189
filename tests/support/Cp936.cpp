#include "Cp936.h"

#include "simulator/key/Cp936Text.h"

#include <gtest/gtest.h>

namespace talvo::testing {

std::string cp936(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string bytes;
    EXPECT_TRUE(
        sim::utf8ToCp936(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), bytes))
        << "CP936 cannot hold \"" << utf8.toStdString() << "\"";
    return bytes;
}

} // namespace talvo::testing
