#include "platform/widgets/Interaction.h"
#include "platform/widgets/QtInteraction.h"
#include "support/ScriptedInteraction.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

#include <QWidget>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using namespace talvo;

TEST(Interaction, WindowBoxTakesTheApplicationNameWhenGivenNoCaption)
{
    ScriptedInteraction script;
    QWidget owner;
    script.answerBox(BoxResult::Ok);
    script.answerBox(BoxResult::Ok);
    windowMessageBox(&owner, QStringLiteral("ok"));
    windowMessageBox(&owner, QStringLiteral("密码错误"), QStringLiteral("提示"), BoxIcon::Information);
    ASSERT_EQ(script.boxes().size(), 2u);
    EXPECT_EQ(script.boxes()[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(script.boxes()[0].icon, BoxIcon::None);
    EXPECT_EQ(script.boxes()[0].owner, &owner);
    EXPECT_EQ(script.boxes()[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(script.boxes()[1].icon, BoxIcon::Information);
}

TEST(Interaction, ApplicationBoxBelongsToTheMainWindowAndWarnsByDefault)
{
    ScriptedInteraction script;
    QWidget main;
    setMainWindow(&main);
    script.answerBox(BoxResult::Ok);
    applicationMessageBox(QStringLiteral("生成安全报文成功!"));
    script.answerBox(BoxResult::Yes);
    const BoxResult answer =
        applicationMessageBox(QStringLiteral("确定?"), BoxButtons::YesNo, BoxIcon::Error, BoxResult::No);
    setMainWindow(nullptr);
    ASSERT_EQ(script.boxes().size(), 2u);
    EXPECT_EQ(script.boxes()[0].owner, &main);
    EXPECT_EQ(script.boxes()[0].caption, QCoreApplication::applicationName());
    EXPECT_EQ(script.boxes()[0].icon, BoxIcon::Warning);
    EXPECT_EQ(script.boxes()[1].icon, BoxIcon::Error);
    EXPECT_EQ(script.boxes()[1].defaultButton, BoxResult::No);
    EXPECT_EQ(answer, BoxResult::Yes);
}

// Each fails the test, and the test still runs on.
TEST(Interaction, UnscriptedYesNoTakesItsDefaultButton)
{
    ScriptedInteraction script;
    BoxResult answer = BoxResult::Yes;
    EXPECT_NONFATAL_FAILURE(answer = applicationMessageBox(QStringLiteral("?"), BoxButtons::YesNo,
                                                           BoxIcon::Warning, BoxResult::No),
                            "met unscripted: Yes/No box");
    EXPECT_EQ(answer, BoxResult::No);
    std::optional<QString> path = QStringLiteral("/tmp/chosen");
    EXPECT_NONFATAL_FAILURE(path = interaction().fileDialog({}), "met unscripted: open file dialog");
    EXPECT_EQ(path, std::nullopt);
}

TEST(Interaction, WindowsFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(nameFiltersFromWindowsFilter(QStringLiteral("GIF Files (*.gif)|*.gif;||")),
              QStringList{QStringLiteral("GIF Files (*.gif) (*.gif)")});
    EXPECT_EQ(nameFiltersFromWindowsFilter(QStringLiteral(
                  "文档文件(*.txt;*.pdf;*.doc;*d.docx)|*.txt;*.pdf;*.doc;*.docx|全部文件(*.*)|*.*||")),
              (QStringList{QStringLiteral("文档文件(*.txt;*.pdf;*.doc;*d.docx) (*.txt *.pdf *.doc *.docx)"),
                           QStringLiteral("全部文件(*.*) (*.*)")}));
}

TEST(Interaction, FileDialogShowsEachFilterByItsDescriptionAndMatchesByItsPatterns)
{
    QStringList shown;
    QStringList applied;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* model = dialog->findChild<QFileSystemModel*>();
        if (types && model) {
            for (int i = 0; i < types->count(); ++i)
                shown << types->itemText(i);
            applied = model->nameFilters();
        }
        dialog->reject();
    });
    FileDialogRequest request;
    request.filter = QStringLiteral("文档文件(*.txt;*.doc)|*.txt;*.doc|GIF Files (*.gif)|*.gif;||");
    EXPECT_EQ(QtInteraction().fileDialog(request), std::nullopt);
    EXPECT_EQ(shown.join(QLatin1Char('|')).toStdString(), "文档文件(*.txt;*.doc)|GIF Files (*.gif)");
    EXPECT_EQ(applied, (QStringList{QStringLiteral("*.txt"), QStringLiteral("*.doc")}));
}

TEST(Interaction, ScriptedSeamRestoresTheProductionOneWhenDone)
{
    Interaction* production = &interaction();
    {
        ScriptedInteraction script;
        EXPECT_EQ(&interaction(), &script);
    }
    EXPECT_EQ(&interaction(), production);
}

} // namespace
