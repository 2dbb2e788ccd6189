#include "seals/SealNameDialog.h"
#include "SealTestSupport.h"
#include "key/SealTexts.h"
#include "platform/widgets/TextLimit.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/Typing.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

using namespace talvo;
using talvo::testing::clickButton;
using talvo::testing::cp936;
using talvo::testing::ScopedTimeZone;
using talvo::testing::typeText;

namespace {

QLineEdit* nameEdit(QDialog& dialog)
{
    return static_cast<SealNameDialog&>(dialog).controlAs<QLineEdit>(ids::sealName::NameEdit);
}

QCalendarWidget* calendar(QDialog& dialog)
{
    return static_cast<SealNameDialog&>(dialog).controlAs<QCalendarWidget>(ids::sealName::Calendar);
}

void pressOk(QDialog& dialog)
{
    clickButton(dialog, TemplateDialog::IDOK);
}

class SealNameDialogTest : public ::testing::Test {
protected:
    ScopedTimeZone m_zone{"Asia/Shanghai"};
    ScriptedInteraction m_seam;
    SealNameDialog m_dialog;
};

} // namespace

TEST_F(SealNameDialogTest, EnterAfterClickingADayConfirmsNameAndDay)
{
    m_seam.scriptModal([](QDialog& dialog) {
        typeText(nameEdit(dialog), QStringLiteral("财务章"));
        calendar(dialog)->setSelectedDate(QDate(2030, 1, 1));
        talvo::testing::clickDayThenEnter(calendar(dialog), 12);
    });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_EQ(m_dialog.name(), cp936(QStringLiteral("财务章")));
    EXPECT_EQ(m_dialog.expiry(), "2030-01-12 00:00:00");
    EXPECT_TRUE(m_seam.allScriptsUsed());
}

TEST_F(SealNameDialogTest, HandsBackTheTrimmedNameAndTheDaysMidnight)
{
    m_seam.scriptModal([](QDialog& dialog) {
        typeText(nameEdit(dialog), QStringLiteral("  合同专用章  "));
        calendar(dialog)->setSelectedDate(QDate(2031, 3, 9));
        pressOk(dialog);
    });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_TRUE(m_seam.boxes().empty());

    char name[TL_SEAL_NAME_SIZE];
    std::memset(name, 0, sizeof name);
    m_dialog.GetSealName(name);
    const std::string expected = cp936(QStringLiteral("合同专用章"));
    EXPECT_EQ(std::string(name, sizeof name), expected + std::string(sizeof name - expected.size(), '\0'));

    char expiry[TL_SEAL_TIME_SIZE];
    std::memset(expiry, 0, sizeof expiry);
    m_dialog.GetExpiryTime(expiry);
    EXPECT_EQ(std::string(expiry, 19), "2031-03-09 00:00:00");
    EXPECT_EQ(expiry[19], '\0');
    EXPECT_EQ(expiry[20], '\0');
}

TEST_F(SealNameDialogTest, RefusesABlankNameAndStaysOpen)
{
    bool stayedOpen = false;
    QString textAfter;
    m_seam.answerBox(BoxResult::Ok);
    m_seam.scriptModal([&](QDialog& dialog) {
        typeText(nameEdit(dialog), QStringLiteral("   "));
        pressOk(dialog);
        stayedOpen = dialog.isVisible();
        textAfter = nameEdit(dialog)->text();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(m_dialog.doModal(), TemplateDialog::IDCANCEL);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(textAfter, QStringLiteral("   "));
    ASSERT_EQ(m_seam.boxes().size(), 1u);
    const MessageBoxRequest& box = m_seam.boxes().front();
    EXPECT_EQ(box.text, QStringLiteral("请输入签章名称"));
    EXPECT_EQ(box.caption, QStringLiteral("提示"));
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.owner, &m_dialog);
    EXPECT_TRUE(m_dialog.name().empty());
    EXPECT_TRUE(m_dialog.expiry().empty());
}

TEST_F(SealNameDialogTest, TakesA34ByteNameWholeAndNoMore)
{
    const QString seventeen = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚");
    ASSERT_EQ(cp936(seventeen).size(), 34u);
    QString typed;
    m_seam.scriptModal([&](QDialog& dialog) {
        typeText(nameEdit(dialog), seventeen + QStringLiteral("x辛"));
        typed = nameEdit(dialog)->text();
        pressOk(dialog);
    });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_EQ(typed, seventeen);

    char name[TL_SEAL_NAME_SIZE];
    std::memset(name, 0x55, sizeof name);
    name[34] = '\0';
    m_dialog.GetSealName(name);
    EXPECT_EQ(std::string(name, 34), cp936(seventeen));
    EXPECT_EQ(name[34], '\0');
}

TEST_F(SealNameDialogTest, StartsWithTheFocusInTheNameAndTheCalendarOnToday)
{
    bool focused = false;
    std::size_t limit = 0;
    QDate shown;
    m_seam.scriptModal([&](QDialog& dialog) {
        focused = dialog.focusWidget() == nameEdit(dialog);
        limit = textLimitBytes(nameEdit(dialog));
        shown = calendar(dialog)->selectedDate();
    });
    m_dialog.doModal();
    EXPECT_TRUE(focused);
    EXPECT_EQ(limit, 34u);
    EXPECT_EQ(shown, QDate::currentDate());
    EXPECT_EQ(m_dialog.windowTitle(), QString());
}

TEST_F(SealNameDialogTest, CancelHandsBackNothing)
{
    m_seam.scriptModal([](QDialog& dialog) {
        typeText(nameEdit(dialog), QStringLiteral("财务章"));
        clickButton(dialog, TemplateDialog::IDCANCEL);
    });
    EXPECT_EQ(m_dialog.doModal(), TemplateDialog::IDCANCEL);
    char name[TL_SEAL_NAME_SIZE] = {};
    m_dialog.GetSealName(name);
    char expiry[TL_SEAL_TIME_SIZE] = {};
    m_dialog.GetExpiryTime(expiry);
    EXPECT_EQ(std::string(name, sizeof name), std::string(sizeof name, '\0'));
    EXPECT_EQ(std::string(expiry, sizeof expiry), std::string(sizeof expiry, '\0'));
}
