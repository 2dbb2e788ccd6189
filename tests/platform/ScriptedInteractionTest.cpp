#include "support/ScriptedInteraction.h"
#include "platform/widgets/Interaction.h"

#include <QDialog>
#include <QWidget>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

using namespace talvo;

// What a test does with the seam installed, and the words its failure must hold.
struct StrictnessCase {
    const char* name;
    std::function<void(ScriptedInteraction&)> act;
    const char* reported;
};

void PrintTo(const StrictnessCase& c, std::ostream* out)
{
    *out << c.name;
}

void withSeam(const std::function<void(ScriptedInteraction&)>& act)
{
    ScriptedInteraction script;
    act(script);
}

class ScriptedInteractionTest : public ::testing::TestWithParam<StrictnessCase> {};

TEST_P(ScriptedInteractionTest, FailsTheTestSayingWhatWasLeftOrMet)
{
    EXPECT_NONFATAL_FAILURE(withSeam(GetParam().act), GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptedInteractionTest,
    ::testing::Values(
        StrictnessCase{"UnusedBoxAnswer",
                       [](ScriptedInteraction& script) { script.answerBox(BoxResult::Yes); },
                       "scripted answers left unused: box answer Yes"},
        StrictnessCase{"UnusedFileAnswer",
                       [](ScriptedInteraction& script) {
                           script.answerFileDialog(QStringLiteral("/tmp/报文.sec"));
                           script.answerFileDialog(std::nullopt);
                       },
                       "left unused: file dialog answer \"/tmp/报文.sec\", file dialog answer cancel"},
        StrictnessCase{"UnusedModalScript",
                       [](ScriptedInteraction& script) { script.scriptModal([](QDialog&) {}); },
                       "left unused: 1 modal dialog script(s)"},
        StrictnessCase{
            "UnscriptedOkBox",
            [](ScriptedInteraction&) {
                QWidget owner;
                windowMessageBox(&owner, QStringLiteral("卡未插入"), QStringLiteral("提示"));
            },
            "met unscripted: Ok box \"卡未插入\" captioned \"提示\"; it took its default button Ok"},
        StrictnessCase{"UnscriptedYesNoBox",
                       [](ScriptedInteraction&) {
                           applicationMessageBox(QStringLiteral("确定删除?"), BoxButtons::YesNo,
                                                 BoxIcon::Warning, BoxResult::No);
                       },
                       "met unscripted: Yes/No box \"确定删除?\""},
        StrictnessCase{"UnscriptedFileDialog",
                       [](ScriptedInteraction&) {
                           FileDialogRequest request;
                           request.open = false;
                           request.initialFileName = QStringLiteral("doc.sec");
                           interaction().fileDialog(request);
                       },
                       "met unscripted: save file dialog (file name \"doc.sec\""},
        StrictnessCase{"UnscriptedModalDialog",
                       [](ScriptedInteraction&) {
                           QDialog dialog;
                           interaction().runModal(dialog);
                       },
                       "met unscripted: modal dialog QDialog; it was cancelled"},
        StrictnessCase{"AnswerTheBoxDoesNotOffer",
                       [](ScriptedInteraction& script) {
                           script.answerBox(BoxResult::Yes);
                           applicationMessageBox(QStringLiteral("写入成功"));
                       },
                       "scripted answer Yes for Ok box \"写入成功\""}),
    [](const ::testing::TestParamInfo<StrictnessCase>& param) { return std::string(param.param.name); });

} // namespace
