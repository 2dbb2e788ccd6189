#include "platform/TextLimit.h"
#include "support/Typing.h"

#include <QLineEdit>

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

TEST(TextLimit, TextSetByTheProgramIsNotCut)
{
    QLineEdit edit;
    talvo::setTextLimitBytes(&edit, 1);
    edit.setText(QStringLiteral("4294967295"));
    EXPECT_EQ(edit.text(), QStringLiteral("4294967295"));
}

TEST(TextLimit, AnEditWithoutLimitReportsNone)
{
    QLineEdit edit;
    EXPECT_EQ(talvo::textLimitBytes(&edit), 0u);
}

} // namespace
