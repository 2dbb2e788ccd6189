#include "platform/core/Cp936Codec.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace talvo;

TEST(Cp936Codec, ChineseTakesTwoBytesAndRoundTrips)
{
    const QString text = QStringLiteral("签章ABC辽宁");
    const std::string bytes = toCp936(text);
    EXPECT_EQ(bytes.size(), 11u);
    EXPECT_EQ(cp936Length(text), 11u);
    // 辽宁 in GBK.
    EXPECT_EQ(bytes.substr(7), std::string("\xC1\xC9\xC4\xFE"));
    EXPECT_EQ(fromCp936(bytes), text);
}

TEST(Cp936Codec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toCp936(QString::fromUtf8("a\xF0\x9F\x98\x80"
                                        "b")),
              std::string("a?b"));
}

TEST(Cp936Codec, DecodingStopsAtTheTerminatorOrTheBufferEnd)
{
    const char terminated[8] = {'a', 'b', 0, 'c', 'd', 'e', 'f', 'g'};
    EXPECT_EQ(fromCp936(terminated, sizeof terminated), QStringLiteral("ab"));
    const char unterminated[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(fromCp936(unterminated, 3), QStringLiteral("wxy"));
    EXPECT_EQ(fromCp936(nullptr, 10), QString());
    EXPECT_EQ(boundedLength(unterminated, sizeof unterminated), 4u);
}

TEST(Cp936Codec, MalformedBytesDoNotStopDecoding)
{
    const char bytes[] = {'a', '\xFF', 'b', 0};
    EXPECT_EQ(fromCp936(bytes, sizeof bytes), QStringLiteral("a?b"));
    // A lead byte cut off by the end of the buffer.
    const char cut[] = {'a', '\xC1'};
    EXPECT_EQ(fromCp936(cut, sizeof cut), QStringLiteral("a?"));
}

TEST(Cp936Codec, TruncationNeverSplitsACharacter)
{
    EXPECT_EQ(truncateToCp936Bytes(QStringLiteral("ab签章"), 3), QStringLiteral("ab"));
    EXPECT_EQ(truncateToCp936Bytes(QStringLiteral("ab签章"), 4), QStringLiteral("ab签"));
    EXPECT_EQ(truncateToCp936Bytes(QStringLiteral("密码密码"), 6), QStringLiteral("密码密"));
}

TEST(Cp936Codec, CopyToFieldTerminatesAndZeroFills)
{
    char field[6];
    std::memset(field, 'x', sizeof field);
    copyToField(toCp936(QStringLiteral("a签章")), field);
    // "a签" is 3 bytes; "章" would need bytes 3 and 4, leaving no room for the terminator... it fits
    // exactly 5, so check a field one byte shorter too.
    EXPECT_EQ(std::string(field), toCp936(QStringLiteral("a签章")));
    char shorter[5];
    std::memset(shorter, 'x', sizeof shorter);
    copyToField(toCp936(QStringLiteral("a签章")), shorter);
    EXPECT_EQ(std::string(shorter), toCp936(QStringLiteral("a签")));
    EXPECT_EQ(shorter[3], 0);
    EXPECT_EQ(shorter[4], 0);
}

} // namespace
