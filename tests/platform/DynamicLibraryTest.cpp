#include "platform/DynamicLibrary.h"

#include <gtest/gtest.h>

namespace {

using talvo::DynamicLibrary;

TEST(DynamicLibrary, FindsALibraryByPlainNameAndItsSymbols)
{
    DynamicLibrary library("libm.so.6");
    ASSERT_TRUE(library.isLoaded()) << library.errorText();
    auto* cosine = reinterpret_cast<double (*)(double)>(library.symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library.symbol("no_such_symbol_here"), nullptr);
}

TEST(DynamicLibrary, AMissingLibrarySaysWhy)
{
    DynamicLibrary library("libNoSuchLibrary.so");
    EXPECT_FALSE(library.isLoaded());
    EXPECT_NE(library.errorText().find("libNoSuchLibrary.so"), std::string::npos);
    EXPECT_EQ(library.symbol("anything"), nullptr);
}

TEST(DynamicLibrary, OwnershipMovesAndUnloads)
{
    DynamicLibrary first("libm.so.6");
    DynamicLibrary second(std::move(first));
    EXPECT_FALSE(first.isLoaded());
    EXPECT_TRUE(second.isLoaded());
    second.unload();
    EXPECT_FALSE(second.isLoaded());
}

} // namespace
