#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <iconv.h>

#include <functional>

namespace {

int g_opened = 0;

} // namespace

// Counts the converters opened by the code under test, and passes each on to the C library.
iconv_t iconv_open(const char* to, const char* from)
{
    ++g_opened;
    static const auto real =
        reinterpret_cast<iconv_t (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "iconv_open"));
    return real(to, from);
}

namespace {

using namespace talvo::codepage;

TEST(CodePage, OpensOneConverterPerCallHoweverLongTheText)
{
    // 240 characters, as long as the longest field: CP936 text, one it cannot hold, and ASCII.
    std::string utf8;
    std::string cp936;
    std::string decoded;
    for (int i = 0; i < 80; ++i) {
        utf8 += "签😀a";
        cp936 += "\xC7\xA9?a";
        decoded += "签?a";
    }
    const struct {
        const char* what;
        std::function<void()> call;
    } calls[] = {
        {"to CP936", [&] { EXPECT_EQ(utf8ToCp936(utf8), cp936); }},
        {"to CP936 exactly", [&] { EXPECT_FALSE(utf8ToCp936Exactly(utf8)); }},
        {"the prefix that fits", [&] { EXPECT_EQ(utf8PrefixFittingCp936(utf8, 6), 3u + 4u + 1u + 3u); }},
        {"to UTF-8", [&] { EXPECT_EQ(cp936ToUtf8(cp936 + "\xFF", Undecodable::Escape), decoded + "\\xFF"); }},
    };
    for (const auto& test : calls) {
        g_opened = 0;
        test.call();
        EXPECT_EQ(g_opened, 1) << test.what;
    }
}

} // namespace
