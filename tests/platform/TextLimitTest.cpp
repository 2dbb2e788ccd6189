#include "platform/widgets/TextLimit.h"
#include "support/Typing.h"

#include <QClipboard>
#include <QGuiApplication>
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

struct PasteCase {
    std::size_t limit;
    const char* before;
    int selectionStart;
    int selectionLength;
    const char* pasted;
    const char* after;
};

TEST(TextLimit, APasteTakesAsMuchAsFitsWithoutSplittingACharacter)
{
    const PasteCase cases[] = {
        {6, "", 0, 0, "1234567", "123456"},
        {6, "", 0, 0, "ab密码x", "ab密码"},
        {5, "a", 1, 0, "密码密", "a密码"},
        {5, "abcd", 4, 0, "密", "abcd"},
        {4, "ab", 1, 0, "xyz", "axyb"},
        {6, "abcdef", 2, 2, "12345", "ab12ef"},
        {8, "口令", 1, 0, "密码密码", "口密码令"},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.pasted);
        QLineEdit edit;
        talvo::setTextLimitBytes(&edit, c.limit);
        talvo::setTextIgnoringLimit(&edit, QString::fromUtf8(c.before));
        edit.setSelection(c.selectionStart, c.selectionLength);
        if (c.selectionLength == 0)
            edit.setCursorPosition(c.selectionStart);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.pasted));
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(edit.text().toStdString(), c.after);
    }
}

TEST(TextLimit, AnEditWithoutLimitReportsNone)
{
    QLineEdit edit;
    EXPECT_EQ(talvo::textLimitBytes(&edit), 0u);
}

} // namespace
