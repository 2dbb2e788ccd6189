#include "platform/TextLimit.h"
#include "support/Typing.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TextLimit, TypingStopsAtTheByteLimit)
{
    QLineEdit edit;
    talvo::setTextLimitBytes(&edit, 6);
    EXPECT_EQ(talvo::textLimitBytes(&edit), 6u);
    talvo::testing::typeText(&edit, QStringLiteral("1234567"));
    EXPECT_EQ(edit.text(), QStringLiteral("123456"));

    edit.clear();
    talvo::testing::typeText(&edit, QStringLiteral("密码密码"));
    EXPECT_EQ(edit.text(), QStringLiteral("密码密")) << "a double-byte character counts two";

    edit.clear();
    talvo::testing::typeText(&edit, QStringLiteral("ab密码x"));
    EXPECT_EQ(edit.text(), QStringLiteral("ab密码"));
}

TEST(TextLimit, TextSetByTheProgramIsNotCutButCannotGrow)
{
    QLineEdit edit;
    talvo::setTextLimitBytes(&edit, 1);
    talvo::setTextIgnoringLimit(&edit, QStringLiteral("4294967295"));
    EXPECT_EQ(edit.text(), QStringLiteral("4294967295"));
    talvo::testing::typeText(&edit, QStringLiteral("7"));
    EXPECT_EQ(edit.text(), QStringLiteral("4294967295")) << "no typing past the limit";
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("429496729")) << "shortening is allowed";
}

TEST(TextLimit, AnEditWithoutLimitReportsNone)
{
    QLineEdit edit;
    EXPECT_EQ(talvo::textLimitBytes(&edit), 0u);
}

} // namespace
