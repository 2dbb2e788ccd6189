// Runs with the partial stand-in driver: its serial number fills the whole buffer unterminated.
#include "MainWindowFixture.h"
#include "app/LoginDialog.h"
#include "device/KeyDriverBinding.h"
#include "platform/widgets/TabControl.h"
#include "resources/ControlIds.h"
#include "support/Typing.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <functional>
#include <optional>
#include <tuple>
#include <utility>

namespace {

using namespace talvo;
using talvo::testing::clickButton;
using talvo::testing::MainWindowFixture;

void setFakeStatus(int32_t status)
{
    void* library = dlopen("libTalvoDriver.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    auto set = reinterpret_cast<void (*)(int32_t)>(dlsym(library, "FakeSetStatus"));
    ASSERT_NE(set, nullptr);
    set(status);
    dlclose(library);
}

bool driverLoaded()
{
    void* library = dlopen("libTalvoDriver.so", RTLD_NOW | RTLD_NOLOAD);
    if (library)
        dlclose(library);
    return library != nullptr;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { setFakeStatus(0); }
    QList<TemplateDialog*> pages()
    {
        MainDialog& window = m_main.window();
        return {&window.deviceInfoPage(), &window.cspPage(), &window.pinPage()};
    }
    MainWindowFixture m_main;
};

// A screen reader meets the pages as property pages named by their tabs, and only the page
// on show as showing.
TEST_F(MainWindow, ScreenReadersMeetThePagesByTheirTabs)
{
    MainDialog& window = m_main.window();
    window.tabControl()->tabBar()->setCurrentIndex(1);
    const char* names[] = {"签章服务", "CSP服务", "口令服务"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(pages()[i]);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->role(), QAccessible::PropertyPage);
        EXPECT_EQ(page->text(QAccessible::Name), QString::fromUtf8(names[i]));
        EXPECT_EQ(page->state().invisible, i != 1);
    }
}

// The main window asks for the password while it is being shown: until the login is answered
// it is not on the screen, and a screen reader must not hear of it as showing.
TEST_F(MainWindow, IsNotShowingWhileTheLoginAsks)
{
    QTemporaryDir runtime;
    const QByteArray previousRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ScriptedInteraction script;
    MainDialog window;
    std::optional<bool> invisibleDuringLogin;
    script.scriptModal([&](QDialog& login) {
        invisibleDuringLogin = QAccessible::queryAccessibleInterface(&window)->state().invisible;
        qobject_cast<TemplateDialog*>(&login)
            ->controlAs<QLineEdit>(ids::login::PasswordEdit)
            ->setText(QString::fromLatin1(LoginDialog::kPassword));
        clickButton(login, TemplateDialog::IDOK);
    });
    window.show();
    EXPECT_EQ(invisibleDuringLogin, std::optional<bool>(true));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(&window)->state().invisible);
    window.hide();
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&window)->state().invisible);
    qputenv("XDG_RUNTIME_DIR", previousRuntime);
}

TEST_F(MainWindow, OpensOnTheDeviceInformationPageWithTheBindingHandedOut)
{
    MainDialog& window = m_main.window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("内部工具"));
    EXPECT_EQ(window.tabControl()->count(), 3);
    EXPECT_EQ(window.tabControl()->tabBar()->tabText(0), QStringLiteral("签章服务"));
    EXPECT_EQ(window.tabControl()->tabBar()->tabText(1), QStringLiteral("CSP服务"));
    EXPECT_EQ(window.tabControl()->tabBar()->tabText(2), QStringLiteral("口令服务"));
    EXPECT_EQ(window.tabControl()->currentSelection(), 0);
    EXPECT_TRUE(window.deviceInfoPage().isVisible());
    EXPECT_FALSE(window.cspPage().isVisible());
    EXPECT_FALSE(window.pinPage().isVisible());
    EXPECT_TRUE(window.itemText(ids::main::SerialEdit).isEmpty());
    ASSERT_NE(window.binding(), nullptr);
    EXPECT_TRUE(window.binding()->isLibraryLoaded());
    for (TemplateDialog* page : pages())
        EXPECT_EQ(static_cast<BindingPage*>(page)->binding(), window.binding());
}

TEST_F(MainWindow, CarriesTheApplicationIcon)
{
    const QIcon icon = m_main.window().windowHandle()->icon();
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(QSize(32, 32)).isNull());
}

TEST_F(MainWindow, IsANormalTopLevelWindowWithoutMinimiseOrMaximiseBox)
{
    // A dialog window is transient on X11, and taskbars leave it out.
    const QWindow* handle = m_main.window().windowHandle();
    EXPECT_EQ(handle->type(), Qt::Window);
    EXPECT_EQ(handle->transientParent(), nullptr);
    const Qt::WindowFlags flags = handle->flags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

// Clicks through the window, so that Qt's own hit-testing picks the widget under the point.
TEST_F(MainWindow, EveryPartOfEachTabLabelTakesAClick)
{
    MainDialog& window = m_main.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTabBar* bar = window.tabControl()->tabBar();
    for (int index : {1, 2, 0}) {
        const QRect tab = bar->tabRect(index);
        for (const QPoint point : {tab.center(), QPoint(tab.center().x(), tab.bottom())}) {
            window.tabControl()->setCurrentSelection((index + 1) % 3);
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, bar->mapTo(&window, point));
            EXPECT_EQ(window.tabControl()->currentSelection(), index) << index << " at y " << point.y();
            EXPECT_TRUE(pages()[index]->isVisible()) << index << " at y " << point.y();
        }
    }
}

TEST_F(MainWindow, AllPagesShareTheShrunkTabRectangle)
{
    MainDialog& window = m_main.window();
    const QSize tab = window.tabControl()->size();
    const QRect expected(20, 20, tab.width() - 40, tab.height() - 30);
    EXPECT_EQ(window.pageRectangle(), expected);
    for (TemplateDialog* page : pages()) {
        EXPECT_EQ(page->parentWidget(), window.tabControl());
        EXPECT_EQ(page->geometry(), expected) << page->metaObject()->className();
    }
}

TEST_F(MainWindow, SelectingATabShowsExactlyItsPageAndFocusesIt)
{
    MainDialog& window = m_main.window();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    for (int index : {2, 1, 0, 2}) {
        window.tabControl()->tabBar()->setCurrentIndex(index);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(pages()[other]->isVisible(), other == index) << index << " " << other;
        QWidget* focus = window.focusWidget();
        EXPECT_TRUE(focus && pages()[index]->isAncestorOf(focus)) << index;
    }
}

// As in a Windows tabbed dialog, the same as a click on the tab; the ends wrap round.
TEST_F(MainWindow, ControlTabAndControlPageKeysTurnThePages)
{
    MainDialog& window = m_main.window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> cases[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 2},
    };
    for (const auto& [key, modifiers, page] : cases) {
        SCOPED_TRACE(key);
        window.tabControl()->tabBar()->setCurrentIndex(0);
        QTest::keyClick(window.windowHandle(), key, modifiers);
        EXPECT_EQ(window.tabControl()->currentSelection(), page);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(pages()[other]->isVisible(), other == page) << other;
        EXPECT_TRUE(window.focusWidget() && pages()[page]->isAncestorOf(window.focusWidget()));
    }
}

TEST_F(MainWindow, SerialNumberIsCutAtItsBuffer)
{
    m_main.pressButton(ids::main::RefreshButton);
    EXPECT_EQ(m_main.window().itemText(ids::main::SerialEdit), QString(100, QLatin1Char('S')));
    EXPECT_TRUE(m_main.script().boxes().empty());
}

TEST_F(MainWindow, FailedSerialReadEmptiesTheEditAndSaysSo)
{
    m_main.window().setItemText(ids::main::SerialEdit, QStringLiteral("typed by hand"));
    setFakeStatus(1);
    m_main.script().answerBox(BoxResult::Ok);
    m_main.pressButton(ids::main::RefreshButton);
    EXPECT_TRUE(m_main.window().itemText(ids::main::SerialEdit).isEmpty());
    ASSERT_EQ(m_main.script().boxes().size(), 1u);
    const MessageBoxRequest& box = m_main.script().boxes().front();
    EXPECT_EQ(box.text, QStringLiteral("没有获取到设备信息!"));
    EXPECT_EQ(box.caption, QStringLiteral("提示"));
    EXPECT_EQ(box.icon, BoxIcon::Information);
}

TEST_F(MainWindow, ClosingFreesTheDriverAndDeletesTheTemporaryCertificate)
{
    const QString certificate = m_main.privateDirectory() + QStringLiteral("/__tmpCertFile.cer");
    QFile file(certificate);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(driverLoaded());

    m_main.pressButton(ids::main::ExitButton);
    EXPECT_EQ(m_main.window().result(), TemplateDialog::IDCANCEL);
    EXPECT_FALSE(QFile::exists(certificate));
    EXPECT_EQ(m_main.window().binding(), nullptr);
    EXPECT_FALSE(driverLoaded());
}

TEST(MainWindowClosing, EscapeAndTheCloseBoxRunTheCleanUp)
{
    const std::pair<const char*, std::function<void(MainDialog&)>> ways[] = {
        {"Esc", [](MainDialog& window) { QTest::keyClick(window.windowHandle(), Qt::Key_Escape); }},
        {"close box", [](MainDialog& window) { window.windowHandle()->close(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        MainWindowFixture main;
        setFakeStatus(0);
        const QString certificate = main.privateDirectory() + QStringLiteral("/__tmpCertFile.cer");
        QFile file(certificate);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main.window()));

        close(main.window());

        EXPECT_FALSE(main.window().isVisible());
        EXPECT_EQ(main.window().result(), TemplateDialog::IDCANCEL);
        EXPECT_FALSE(QFile::exists(certificate));
        EXPECT_EQ(main.window().binding(), nullptr);
        EXPECT_FALSE(driverLoaded());
        EXPECT_TRUE(main.script().allScriptsUsed());
    }
}

TEST_F(MainWindow, EnterInTheSerialEditAndEscapeCloseTheWindow)
{
    auto* serial = m_main.window().controlAs<QLineEdit>(ids::main::SerialEdit);
    QTest::keyClick(serial, Qt::Key_Return);
    EXPECT_FALSE(m_main.window().isVisible());
    EXPECT_EQ(m_main.window().result(), TemplateDialog::IDOK);
}

} // namespace
