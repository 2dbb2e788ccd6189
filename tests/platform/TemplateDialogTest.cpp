#include "platform/widgets/TemplateDialog.h"
#include "resources/DialogTemplates.h"
#include "support/ScriptedInteraction.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using namespace talvo;

class CountingDialog : public TemplateDialog {
public:
    explicit CountingDialog(int id) : TemplateDialog(dialogTemplate(id)) {}
    int inits = 0;
    int oks = 0;

protected:
    bool onInitDialog() override
    {
        ++inits;
        return true;
    }
    void onOk() override
    {
        ++oks;
        TemplateDialog::onOk();
    }
};

TEST(TemplateDialog, EscapeAndCloseBoxEndWithCancel)
{
    ScriptedInteraction script;
    CountingDialog dialog(IDD_SEAL_TIME);
    script.scriptModal([](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    script.scriptModal([](QDialog& shown) { shown.close(); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDCANCEL);
    EXPECT_EQ(dialog.inits, 1) << "initialised once, when first shown";
}

TEST(TemplateDialog, EnterPressesTheDefaultButton)
{
    ScriptedInteraction script;
    CountingDialog dialog(IDD_SEAL_TIME);
    script.scriptModal([](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Return); });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDOK);
    EXPECT_EQ(dialog.oks, 1);
}

TEST(TemplateDialog, EnterWithoutDefaultButtonIsOk)
{
    ScriptedInteraction script;
    CountingDialog dialog(IDD_MAIN);
    script.scriptModal([](QDialog& shown) {
        auto* edit = shown.findChild<QLineEdit*>(QStringLiteral("control%1").arg(ids::main::SerialEdit));
        ASSERT_NE(edit, nullptr);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.doModal(), TemplateDialog::IDOK);
}

// A screen reader names a window by its caption, or one without by what it asks first.
TEST(TemplateDialog, EveryWindowHasAName)
{
    const struct {
        int id;
        const char* name;
    } cases[] = {
        {IDD_LOGIN, "登录"},
        {IDD_SEAL_TIME, "签章时间"},
        {IDD_SEAL_NAME, "请输入图章名称"},
    };
    for (const auto& c : cases) {
        CountingDialog dialog(c.id);
        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dialog);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->role(), QAccessible::Dialog) << c.id;
        EXPECT_EQ(window->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.id;
    }
}

TEST(TemplateDialog, UnscriptedModalIsCancelledAndRecorded)
{
    ScriptedInteraction script;
    CountingDialog dialog(IDD_SEAL_NAME);
    int code = TemplateDialog::IDOK;
    EXPECT_NONFATAL_FAILURE(code = dialog.doModal(), "met unscripted: modal dialog");
    EXPECT_EQ(code, TemplateDialog::IDCANCEL);
    EXPECT_EQ(script.modalDialogs().size(), 1);
}

TEST(TemplateDialog, AParentlessDialogBelongsToTheMainWindow)
{
    ScriptedInteraction script;
    CountingDialog main(IDD_MAIN);
    setMainWindow(&main);
    main.show();
    CountingDialog dialog(IDD_SEAL_TIME);
    QWindow* owner = nullptr;
    script.scriptModal([&](QDialog& shown) { owner = shown.windowHandle()->transientParent(); });
    dialog.doModal();
    setMainWindow(nullptr);
    EXPECT_EQ(owner, main.windowHandle());
}

TEST(TemplateDialog, APageNeitherEndsNorHidesOnEscapeOrEnter)
{
    QWidget parent;
    CountingDialog page(IDD_CSP);
    page.createAsChild(&parent);
    EXPECT_EQ(page.inits, 1);
    parent.show();
    ASSERT_TRUE(page.isVisible());
    QTest::keyClick(&page, Qt::Key_Escape);
    QTest::keyClick(&page, Qt::Key_Return);
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(page.oks, 0);
}

TEST(TemplateDialog, ItemTextReadsAndWritesEveryKindOfControl)
{
    CountingDialog dialog(IDD_SEAL_LIST);
    dialog.setItemText(ids::sealList::ExpiryText, QStringLiteral("2030-01-01 00:00:00"));
    EXPECT_EQ(dialog.itemText(ids::sealList::ExpiryText), QStringLiteral("2030-01-01 00:00:00"));
    EXPECT_EQ(dialog.itemText(ids::sealList::RefreshButton), QStringLiteral("刷新"));
    EXPECT_EQ(dialog.control(4242), nullptr);
    EXPECT_EQ(dialog.itemText(4242), QString());
}

} // namespace
