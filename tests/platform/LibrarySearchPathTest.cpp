#include "platform/core/LibrarySearchPath.h"

#include <gtest/gtest.h>

namespace {

TEST(LibrarySearchPath, FindsTheFirstElementThatTheLoaderReadsAgainstTheWorkingDirectory)
{
    const struct {
        const char* list;
        std::optional<std::string> loose;
    } cases[] = {
        {"/usr/lib", std::nullopt},
        {"/a:/b;/c", std::nullopt},
        {"$ORIGIN/../lib:${ORIGIN}:$ORIGIN", std::nullopt},
        {"", ""},
        {"/a::/b", ""},
        {"/a:", ""},
        {"/a:lib:.", "lib"},
        {"./lib", "./lib"},
        {"/a;rel", "rel"},
        {"$ORIGINAL/lib", "$ORIGINAL/lib"},
        {"$LIB/talvo", "$LIB/talvo"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(talvo::firstLooseElement(test.list, ":;"), test.loose) << test.list;
}

} // namespace
