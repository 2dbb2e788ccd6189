#include "pages/PinPage.h"
#include "PageTestSupport.h"
#include "device/KeyDriverBinding.h"
#include "platform/widgets/TextLimit.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/Typing.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace talvo {
namespace {

using testing::DriverCall;
using testing::recordingDriver;
using testing::recordingHash;
namespace P = ids::pin;

const QString kIncomplete = QStringLiteral("请输入完整信息!");

class PinPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        recordingDriver().reset();
        recordingDriver().storedHash = recordingHash("730264");
        m_page.createAsChild(&m_host);
        m_page.setBinding(&m_binding);
    }

    void click(int id) { testing::clickButton(m_page, id); }
    QLineEdit* edit(int id) const { return m_page.controlAs<QLineEdit>(id); }
    QString text(int id) const { return m_page.itemText(id); }
    void fill(const QString& oldPassword, const QString& newPassword, const QString& confirmation)
    {
        m_page.setItemText(P::OldPasswordEdit, oldPassword);
        m_page.setItemText(P::NewPasswordEdit, newPassword);
        m_page.setItemText(P::ConfirmationEdit, confirmation);
    }
    QStringList passwordFields() const
    {
        return {text(P::OldPasswordEdit), text(P::NewPasswordEdit), text(P::ConfirmationEdit)};
    }
    void expectOnlyBox(const QString& text, const QString& caption, BoxIcon icon)
    {
        ASSERT_EQ(m_script.boxes().size(), 1u) << m_script.boxTexts().join(QLatin1Char('|')).toStdString();
        const MessageBoxRequest& box = m_script.boxes()[0];
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.icon, icon);
        EXPECT_EQ(box.owner, &m_page);
        EXPECT_EQ(box.buttons, BoxButtons::Ok);
    }
    void expectOnlyPlainBox(const QString& text) { expectOnlyBox(text, applicationName(), BoxIcon::None); }

    ScriptedInteraction m_script;
    QWidget m_host;
    KeyDriverBinding m_binding;
    PinPage m_page;
};

TEST_F(PinPageTest, PasswordFieldsTakeSixBytesAndThePinFieldAnyLength)
{
    for (int id : {P::OldPasswordEdit, P::NewPasswordEdit, P::ConfirmationEdit})
        EXPECT_EQ(textLimitBytes(edit(id)), 6u) << id;

    testing::typeText(edit(P::OldPasswordEdit), QStringLiteral("密码ab7"));
    EXPECT_EQ(text(P::OldPasswordEdit), QStringLiteral("密码ab"));
    testing::typeText(edit(P::NewPasswordEdit), QStringLiteral("密码口令"));
    EXPECT_EQ(text(P::NewPasswordEdit), QStringLiteral("密码口"));
    testing::typeText(edit(P::ConfirmationEdit), QStringLiteral("1234567"));
    EXPECT_EQ(text(P::ConfirmationEdit), QStringLiteral("123456"));
    testing::typeText(edit(P::PinEdit), QStringLiteral("0123456789口令"));
    EXPECT_EQ(text(P::PinEdit), QStringLiteral("0123456789口令"));
}

TEST_F(PinPageTest, TheTallInformationEditDrawsItsLineAtTheTop)
{
    QLineEdit* information = edit(P::InformationEdit);
    m_page.setItemText(P::InformationEdit, QStringLiteral("请输入完整信息!"));
    m_host.show();
    const QImage image = information->grab().toImage();
    const QRgb background = image.pixel(image.width() - 6, image.height() / 2);
    int firstInk = -1;
    int lastInk = -1;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 6; x < image.width() / 2; ++x)
            if (qGray(image.pixel(x, y)) + 80 < qGray(background)) {
                firstInk = firstInk < 0 ? y : firstInk;
                lastInk = y;
            }
    ASSERT_GE(firstInk, 0) << "no text drawn";
    EXPECT_LT(lastInk, image.height() / 2)
        << "the line lies in the upper half, rows " << firstInk << "-" << lastInk << " of " << image.height();
}

TEST_F(PinPageTest, IncompleteFormWarnsClearsAndFocusesWithoutTheDriver)
{
    const QStringList forms[] = {{"", "abc", "abc"}, {"730264", "", "abc"}, {"730264", "abc", ""}};
    for (const QStringList& form : forms) {
        m_script.clearRecords();
        fill(form[0], form[1], form[2]);
        m_page.setItemText(P::PinEdit, QStringLiteral("pin"));
        edit(P::PinEdit)->setFocus();
        m_script.answerBox(BoxResult::Ok);

        click(P::SetPasswordButton);

        expectOnlyBox(kIncomplete, QStringLiteral("警告"), BoxIcon::Information);
        EXPECT_EQ(passwordFields(), QStringList({"", "", ""}));
        EXPECT_EQ(text(P::InformationEdit), kIncomplete);
        EXPECT_EQ(text(P::PinEdit), QStringLiteral("pin"));
        EXPECT_EQ(m_page.focusWidget(), edit(P::OldPasswordEdit));
    }
    EXPECT_TRUE(recordingDriver().calls.empty());
}

TEST_F(PinPageTest, WrongOldPasswordClearsWithoutHashing)
{
    for (bool driverFails : {false, true}) {
        m_script.clearRecords();
        recordingDriver().calls.clear();
        if (driverFails)
            recordingDriver().failures = {{"TLKeyCheckHash", 2}};
        fill(driverFails ? QStringLiteral("730264") : QStringLiteral("111111"), QStringLiteral("abc"),
             QStringLiteral("abc"));
        edit(P::PinEdit)->setFocus();
        m_script.answerBox(BoxResult::Ok);

        click(P::SetPasswordButton);

        expectOnlyBox(QStringLiteral("密码不正确!"), QStringLiteral("警告"), BoxIcon::Error);
        EXPECT_EQ(passwordFields(), QStringList({"", "", ""}));
        EXPECT_EQ(m_page.focusWidget(), edit(P::OldPasswordEdit));
        EXPECT_EQ(testing::callNames(), std::vector<std::string>{"TLKeyCheckHash"});
    }
}

TEST_F(PinPageTest, ConfirmationDifferingOnlyInCaseStopsSilently)
{
    fill(QStringLiteral("730264"), QStringLiteral("abcDEF"), QStringLiteral("abcdef"));
    m_page.setItemText(P::InformationEdit, QStringLiteral("earlier"));
    click(P::SetPasswordButton);
    EXPECT_TRUE(m_script.boxes().empty());
    EXPECT_EQ(passwordFields(), QStringList({"730264", "abcDEF", "abcdef"}));
    EXPECT_EQ(text(P::InformationEdit), QStringLiteral("earlier"));
    EXPECT_EQ(testing::callNames(), std::vector<std::string>{"TLKeyCheckHash"});
    EXPECT_EQ(recordingDriver().storedHash, recordingHash("730264"));
}

TEST_F(PinPageTest, SuccessfulChangeStoresTheNewHash)
{
    fill(QStringLiteral("730264"), QStringLiteral("口令1"), QStringLiteral("口令1"));
    m_page.setItemText(P::InformationEdit, QStringLiteral("earlier"));
    m_script.answerBox(BoxResult::Ok);
    click(P::SetPasswordButton);

    expectOnlyBox(QStringLiteral("修改密码成功!"), QStringLiteral("提示"), BoxIcon::Information);
    EXPECT_EQ(passwordFields(), QStringList({"", "", ""}));
    EXPECT_EQ(text(P::InformationEdit), QStringLiteral("earlier"));
    const std::string newPin = testing::cp936(QStringLiteral("口令1"));
    ASSERT_EQ(newPin.size(), 5u);
    const std::string newHash = recordingHash(newPin);
    EXPECT_EQ(recordingDriver().calls, (std::vector<DriverCall>{{"TLKeyCheckHash", {"730264", "6"}},
                                                                {"TLKeyCalcHash", {newPin, "5"}},
                                                                {"TLKeyWriteHash", {newHash, "4"}}}));
    EXPECT_EQ(recordingDriver().storedHash, newHash);

    // The old password now fails and the new one passes.
    fill(QStringLiteral("730264"), QStringLiteral("x"), QStringLiteral("x"));
    m_script.clearRecords();
    m_script.answerBox(BoxResult::Ok);
    click(P::SetPasswordButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList{QStringLiteral("密码不正确!")});
}

TEST_F(PinPageTest, HashFailuresAreReportedAndClearTheFields)
{
    const struct {
        const char* function;
        const char* text;
    } cases[] = {{"TLKeyCalcHash", "计算哈希不成功!"}, {"TLKeyWriteHash", "修改密码不成功或参数设置错误!"}};
    for (const auto& c : cases) {
        m_script.clearRecords();
        recordingDriver().calls.clear();
        recordingDriver().failures = {{c.function, 3}};
        fill(QStringLiteral("730264"), QStringLiteral("abc"), QStringLiteral("abc"));
        m_script.answerBox(BoxResult::Ok);
        click(P::SetPasswordButton);
        expectOnlyBox(QString::fromUtf8(c.text), QStringLiteral("提示"), BoxIcon::Information);
        EXPECT_EQ(passwordFields(), QStringList({"", "", ""}));
        EXPECT_EQ(recordingDriver().calls.back().name, c.function);
        EXPECT_EQ(recordingDriver().storedHash, recordingHash("730264"));
    }
}

TEST_F(PinPageTest, HashFillingTheWholeBufferReachesTheKeyTerminated)
{
    recordingDriver().calcHashBytes = std::string(40, '7');
    fill(QStringLiteral("730264"), QStringLiteral("abc"), QStringLiteral("abc"));
    m_script.answerBox(BoxResult::Ok);
    click(P::SetPasswordButton);
    EXPECT_EQ(recordingDriver().storedHash, std::string(40, '7'));
    EXPECT_EQ(m_script.boxTexts(), QStringList{QStringLiteral("修改密码成功!")});
}

TEST_F(PinPageTest, CheckPinPassesTheTextAndKeepsIt)
{
    const struct {
        QString pin;
        const char* answer;
    } cases[] = {{QString(), "error"}, {QStringLiteral("730264"), "ok"}, {QStringLiteral("口令"), "error"}};
    for (const auto& c : cases) {
        m_script.clearRecords();
        recordingDriver().calls.clear();
        m_page.setItemText(P::PinEdit, c.pin);
        m_script.answerBox(BoxResult::Ok);
        click(P::CheckPinButton);
        expectOnlyPlainBox(QString::fromLatin1(c.answer));
        EXPECT_EQ(recordingDriver().calls,
                  (std::vector<DriverCall>{{"TLKeyVerifyUserPin", {testing::cp936(c.pin)}}}));
        EXPECT_EQ(text(P::PinEdit), c.pin);
    }
    // An empty PIN is still passed, and the driver's answer decides.
    recordingDriver().storedHash = recordingHash("");
    m_script.clearRecords();
    m_page.setItemText(P::PinEdit, QString());
    m_script.answerBox(BoxResult::Ok);
    click(P::CheckPinButton);
    expectOnlyPlainBox(QStringLiteral("ok"));
}

TEST_F(PinPageTest, CertificateStoreButtons)
{
    for (int box = 0; box < 3; ++box)
        m_script.answerBox(BoxResult::Ok);
    click(P::CountCertsButton);
    click(P::RegisterCertsButton);
    click(P::CountCertsButton);
    click(P::RemoveCertsButton);
    recordingDriver().certificateCount = -2;
    click(P::CountCertsButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList({"0", "1", "-2"}));
    for (const MessageBoxRequest& box : m_script.boxes()) {
        EXPECT_EQ(box.caption, applicationName());
        EXPECT_EQ(box.icon, BoxIcon::None);
    }
    EXPECT_EQ(testing::callNames(),
              (std::vector<std::string>{"TLGetCertsNumFromIE", "TLRegCerts", "TLGetCertsNumFromIE",
                                        "TLRemoveAllCertsFromIE", "TLGetCertsNumFromIE"}));
}

TEST_F(PinPageTest, IssueOperatorPassesCp936TextsAndShowsNothing)
{
    for (int32_t status : {0, 5}) {
        recordingDriver().calls.clear();
        recordingDriver().failures = {{"TLKeyInit", status}};
        click(P::IssueOperatorButton);
        EXPECT_EQ(recordingDriver().calls,
                  (std::vector<DriverCall>{{"TLKeyInit", {"3", "\xC1\xC9\xC4\xFE", "vudeze"}}}));
    }
    EXPECT_TRUE(m_script.boxes().empty());
}

TEST_F(PinPageTest, ReadHashShowsTheBufferWhateverTheStatus)
{
    for (int box = 0; box < 3; ++box)
        m_script.answerBox(BoxResult::Ok);
    click(P::ReadHashButton);
    recordingDriver().readHashBytes = std::string(40, 'Z'); // no terminator within the buffer
    click(P::ReadHashButton);
    recordingDriver().failures = {{"TLKeyReadHash", 1}};
    click(P::ReadHashButton);
    EXPECT_EQ(m_script.boxTexts(), QStringList({QString::fromStdString(recordingHash("730264")),
                                                QString(40, QLatin1Char('Z')), ""}));
    for (const DriverCall& call : recordingDriver().calls)
        EXPECT_EQ(call, (DriverCall{"TLKeyReadHash", {"2"}}));
}

TEST_F(PinPageTest, HiddenDriverDialogButtonCallsTheDriverOnly)
{
    EXPECT_FALSE(m_page.control(P::DriverDialogButton)->isVisibleTo(&m_page));
    click(P::DriverDialogButton);
    EXPECT_EQ(testing::callNames(), std::vector<std::string>{"TLShowDlg"});
    EXPECT_TRUE(m_script.boxes().empty());
}

TEST_F(PinPageTest, WithoutABindingEveryButtonAnswersAsWithoutADriver)
{
    m_page.setBinding(nullptr);
    fill(QStringLiteral("730264"), QStringLiteral("abc"), QStringLiteral("abc"));
    for (int box = 0; box < 4; ++box)
        m_script.answerBox(BoxResult::Ok);
    click(P::SetPasswordButton);
    click(P::CheckPinButton);
    click(P::CountCertsButton);
    click(P::ReadHashButton);
    for (int id :
         {P::DriverDialogButton, P::RemoveCertsButton, P::RegisterCertsButton, P::IssueOperatorButton})
        click(id);
    EXPECT_EQ(m_script.boxTexts(), QStringList({"密码不正确!", "error", "0", ""}));
    EXPECT_EQ(passwordFields(), QStringList({"", "", ""}));
    EXPECT_TRUE(recordingDriver().calls.empty());
}

} // namespace
} // namespace talvo
