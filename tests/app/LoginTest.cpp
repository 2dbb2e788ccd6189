// Runs with a stand-in driver that the main window could load.
#include "MainWindowFixture.h"
#include "app/LoginDialog.h"
#include "resources/ControlIds.h"
#include "support/ScriptedInteraction.h"
#include "support/Typing.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

using namespace talvo;

class Login : public ::testing::Test {
protected:
    QLineEdit* password(LoginDialog& dialog) { return dialog.controlAs<QLineEdit>(ids::login::PasswordEdit); }
    void press(LoginDialog& dialog, int id) { talvo::testing::clickButton(dialog, id); }
    ScriptedInteraction m_script;
};

TEST_F(Login, ThePasswordAndEnterOpenTheWay)
{
    LoginDialog dialog;
    m_script.scriptModal([this](QDialog& shown) {
        auto& login = static_cast<LoginDialog&>(shown);
        EXPECT_EQ(login.focusWidget(), password(login)) << "the password edit has the focus";
        password(login)->setText(QStringLiteral("plain-fox739204"));
        QTest::keyClick(password(login), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_TRUE(m_script.boxes().empty());
}

TEST_F(Login, NearMissesAreRefusedAndTheEditEmptied)
{
    LoginDialog dialog;
    const QStringList attempts = {QStringLiteral("plain-fox739204 "), QStringLiteral("PLAIN-FOX739204"),
                                  QStringLiteral("plain-fox73920"), QStringLiteral(" plain-fox739204"),
                                  QString()};
    for (qsizetype i = 0; i < attempts.size(); ++i)
        m_script.answerBox(BoxResult::Ok);
    m_script.scriptModal([&](QDialog& shown) {
        auto& login = static_cast<LoginDialog&>(shown);
        for (const QString& attempt : attempts) {
            password(login)->setText(attempt);
            press(login, TemplateDialog::IDOK);
            EXPECT_TRUE(login.isVisible()) << qPrintable(attempt);
            EXPECT_TRUE(password(login)->text().isEmpty()) << qPrintable(attempt);
        }
    });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    ASSERT_EQ(m_script.boxes().size(), static_cast<size_t>(attempts.size()));
    for (const MessageBoxRequest& box : m_script.boxes()) {
        EXPECT_EQ(box.text, QStringLiteral("密码错误，请重新输入！"));
        EXPECT_EQ(box.caption, QStringLiteral("提示"));
        EXPECT_EQ(box.icon, BoxIcon::None);
        EXPECT_EQ(box.owner, &dialog);
    }
}

TEST_F(Login, TenWrongAttemptsLeaveItOpenAndUsable)
{
    LoginDialog dialog;
    for (int attempt = 0; attempt < 10; ++attempt)
        m_script.answerBox(BoxResult::Ok);
    m_script.scriptModal([&](QDialog& shown) {
        auto& login = static_cast<LoginDialog&>(shown);
        for (int attempt = 0; attempt < 10; ++attempt) {
            password(login)->setText(QStringLiteral("wrong%1").arg(attempt));
            press(login, TemplateDialog::IDOK);
        }
        ASSERT_TRUE(login.isVisible());
        password(login)->setText(QStringLiteral("plain-fox739204"));
        press(login, TemplateDialog::IDOK);
    });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_EQ(m_script.boxes().size(), 10u);
}

TEST_F(Login, CancelEscapeAndCloseBoxAllCancel)
{
    LoginDialog dialog;
    m_script.scriptModal(
        [this](QDialog& shown) { press(static_cast<LoginDialog&>(shown), TemplateDialog::IDCANCEL); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    m_script.scriptModal([](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    m_script.scriptModal([](QDialog& shown) { shown.close(); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    EXPECT_TRUE(m_script.boxes().empty());
}

// The process ends from inside the main window's initialisation, with the application's
// objects still alive on the stack: not leaks to report here.
void ignoreLeaksAtAbruptExit()
{
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
}

void reportDriverAtExit()
{
    void* driver = dlopen("libTalvoDriver.so", RTLD_NOW | RTLD_NOLOAD);
    std::fprintf(stderr, "driver %s\n", driver ? "loaded" : "never loaded");
}

TEST(LoginDeathTest, CancellingEndsTheProcessWithCodeZeroBeforeTheDriverIsLoaded)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ignoreLeaksAtAbruptExit();
            std::atexit(reportDriverAtExit);
            ScriptedInteraction script;
            script.scriptModal([](QDialog& shown) { shown.reject(); });
            MainDialog window;
            window.show();
            std::fprintf(stderr, "main window shown\n");
        },
        ::testing::ExitedWithCode(0), "driver never loaded");
}

} // namespace
