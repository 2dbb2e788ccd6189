#include "device/StatusText.h"
#include "platform/core/Cp936Codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

using talvo::statusText;

TEST(StatusText, EveryCodeHasItsText)
{
    const char* expected[] = {"操作成功。",     "设备不存在。",     "设备访问失败。",
                              "参数错误。",     "内存错误。",       "API函数调用失败。",
                              "设备空间不足。", "用户设备不存在。", "管理员设备不存在。"};
    for (int code = 0; code <= 8; ++code)
        EXPECT_EQ(statusText(code), QString::fromUtf8(expected[code])) << code;
}

TEST(StatusText, CodesOutsideTheTableAreUnknown)
{
    for (int32_t code : {9, 100, -1, INT_MIN, INT_MAX})
        EXPECT_EQ(statusText(code), QStringLiteral("未知的错误代码")) << code;
}

TEST(StatusText, LongestTextFitsNineteenBytesInCp936)
{
    char buffer[19];
    std::memset(buffer, 0x7F, sizeof buffer);
    talvo::GetStatusText(8, buffer);
    EXPECT_EQ(buffer[18], 0) << "terminated within 19 bytes";
    EXPECT_EQ(std::strlen(buffer), 18u);
    EXPECT_EQ(talvo::fromCp936(buffer, sizeof buffer), QStringLiteral("管理员设备不存在。"));
    // The bytes are the system code page's, not UTF-8.
    EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0xB9);
}

TEST(StatusText, WritesTheWholeBufferClean)
{
    char buffer[100];
    std::memset(buffer, 'x', sizeof buffer);
    talvo::GetStatusText(0, buffer);
    for (size_t i = std::strlen(buffer); i < sizeof buffer; ++i)
        ASSERT_EQ(buffer[i], 0) << i;
}

} // namespace
