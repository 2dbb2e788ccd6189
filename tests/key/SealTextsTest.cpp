#include "key/SealTexts.h"
#include "support/Cp936.h"
#include "support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

using talvo::midnightText;
using talvo::trimSealName;
using talvo::testing::cp936;
using talvo::testing::ScopedTimeZone;

TEST(SealNameTrimming, RemovesSingleByteWhiteSpaceAtBothEnds)
{
    EXPECT_EQ(trimSealName(cp936(QStringLiteral("  合同专用章  "))), cp936(QStringLiteral("合同专用章")));
    EXPECT_EQ(trimSealName("\t\r\n seal \v\f"), "seal");
    EXPECT_EQ(trimSealName(cp936(QStringLiteral(" 财务 章 "))), cp936(QStringLiteral("财务 章")));
}

TEST(SealNameTrimming, LeavesNothingOfBlankNames)
{
    EXPECT_EQ(trimSealName(""), "");
    EXPECT_EQ(trimSealName("    "), "");
    EXPECT_EQ(trimSealName(" \t \n"), "");
}

TEST(SealNameTrimming, NeverRemovesOrSplitsDoubleByteCharacters)
{
    // A full-width space is a double-byte character: it stays.
    const std::string fullWidth = cp936(QStringLiteral("\u3000章\u3000"));
    ASSERT_EQ(fullWidth.size(), 6u);
    EXPECT_EQ(trimSealName(fullWidth), fullWidth);
    // A lead byte takes the next byte with it, even one that reads as a space on its own.
    EXPECT_EQ(trimSealName("ab\x81 "), "ab\x81 ");
    EXPECT_EQ(trimSealName("ab\x81 \t "), "ab\x81 ");
    // A lone lead byte at the end is kept as it is.
    EXPECT_EQ(trimSealName(" ab\x81"), "ab\x81");
}

TEST(MidnightText, GivesLocalMidnightOfTheDay)
{
    ScopedTimeZone zone("Asia/Shanghai");
    EXPECT_EQ(midnightText(2024, 5, 6), "2024-05-06 00:00:00");
    EXPECT_EQ(midnightText(QDate(2020, 2, 29)), "2020-02-29 00:00:00");
    EXPECT_EQ(midnightText(QDate(1999, 12, 31)), "1999-12-31 00:00:00");
}

TEST(MidnightText, LetsTheCLibraryDecideDaylightSavingTime)
{
    if (!std::filesystem::exists("/usr/share/zoneinfo/America/Sao_Paulo"))
        GTEST_SKIP() << "no time zone data";
    // Brazil's clocks jumped from 00:00 to 01:00 on 4 November 2018: that day had no midnight.
    ScopedTimeZone zone("America/Sao_Paulo");
    EXPECT_EQ(midnightText(2018, 11, 4), "2018-11-04 01:00:00");
    EXPECT_EQ(midnightText(2018, 11, 5), "2018-11-05 00:00:00");
    // A day in summer time still starts at its own midnight.
    EXPECT_EQ(midnightText(2019, 1, 15), "2019-01-15 00:00:00");
}

TEST(MidnightText, IsEmptyRatherThanCutWhenTheDayDoesNotFit)
{
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(midnightText(9999, 12, 31), "9999-12-31 00:00:00");
    EXPECT_EQ(midnightText(10000, 1, 1), "");
    EXPECT_EQ(midnightText(QDate()), "");
    EXPECT_EQ(midnightText(std::numeric_limits<int>::min(), 1, 1), "");
}

TEST(MidnightText, IsEmptyForDaysWhoseTextIsNotTheNineteenByteForm)
{
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(midnightText(QDate(1000, 1, 1)), "1000-01-01 00:00:00");
    EXPECT_EQ(midnightText(QDate(999, 12, 31)), "") << "a three-digit year";
    EXPECT_EQ(midnightText(QDate(1, 1, 1)), "");
    // Days before Christ: never a text for the key, whatever year the C library would count.
    EXPECT_EQ(midnightText(QDate(-1, 12, 31)), "");
    EXPECT_EQ(midnightText(QDate(-999, 6, 1)), "");
    EXPECT_EQ(midnightText(QDate(-1000, 6, 1)), "");
}
