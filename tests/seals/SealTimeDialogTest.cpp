#include "seals/SealTimeDialog.h"
#include "SealTestSupport.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/Typing.h"

#include <QCalendarWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

using namespace talvo;
using talvo::testing::clickButton;
using talvo::testing::ScopedTimeZone;

namespace {

QCalendarWidget* calendar(QDialog& dialog)
{
    return static_cast<SealTimeDialog&>(dialog).controlAs<QCalendarWidget>(ids::sealTime::Calendar);
}

class SealTimeDialogTest : public ::testing::Test {
protected:
    ScopedTimeZone m_zone{"Asia/Shanghai"};
    ScriptedInteraction m_seam;
    SealTimeDialog m_dialog;
};

} // namespace

TEST_F(SealTimeDialogTest, AcceptsAnyDayEvenOneInThePast)
{
    m_seam.scriptModal([](QDialog& dialog) {
        calendar(dialog)->setSelectedDate(QDate(1990, 1, 2));
        clickButton(dialog, TemplateDialog::IDOK);
    });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_TRUE(m_seam.boxes().empty());
    char time[TL_SEAL_TIME_SIZE];
    std::memset(time, 0, sizeof time);
    m_dialog.GetSealTime(time);
    EXPECT_EQ(std::string(time, sizeof time), std::string("1990-01-02 00:00:00") + std::string(2, '\0'));
}

TEST_F(SealTimeDialogTest, EnterConfirmsTheDayTheCalendarStartsOn)
{
    m_seam.scriptModal([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(m_dialog.time(), today.toString(QStringLiteral("yyyy-MM-dd")).toStdString() + " 00:00:00");
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("签章时间"));
}

TEST_F(SealTimeDialogTest, EnterAfterClickingADayConfirmsThatDay)
{
    m_seam.scriptModal([](QDialog& dialog) {
        calendar(dialog)->setSelectedDate(QDate(2027, 8, 1));
        talvo::testing::clickDayThenEnter(calendar(dialog), 17);
    });
    ASSERT_EQ(m_dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_EQ(m_dialog.time(), "2027-08-17 00:00:00");
    EXPECT_TRUE(m_seam.allScriptsUsed());
}

TEST_F(SealTimeDialogTest, EscapeLeavesTheTextEmpty)
{
    m_seam.scriptModal([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(m_dialog.doModal(), TemplateDialog::IDCANCEL);
    char time[TL_SEAL_TIME_SIZE] = {};
    m_dialog.GetSealTime(time);
    EXPECT_EQ(std::string(time, sizeof time), std::string(sizeof time, '\0'));
}
