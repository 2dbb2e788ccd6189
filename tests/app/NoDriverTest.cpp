// Runs where no driver library can be found.
#include "MainWindowFixture.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/DebugTrace.h"
#include "resources/ControlIds.h"

#include <gtest/gtest.h>

namespace {

using namespace talvo;

TEST(WithoutDriver, TheWindowOpensSilentlyAndTheSerialIsNotFound)
{
    TraceCapture traces;
    talvo::testing::MainWindowFixture main;
    ASSERT_NE(main.window().binding(), nullptr);
    EXPECT_FALSE(main.window().binding()->isLibraryLoaded());
    EXPECT_EQ(traces.lines(), QStringList{QStringLiteral("TalvoDriver.dll加载失败......")});
    EXPECT_TRUE(main.script().boxes().empty()) << "nothing is shown at start-up";

    main.script().answerBox(BoxResult::Ok);
    main.pressButton(ids::main::RefreshButton);
    EXPECT_TRUE(main.window().itemText(ids::main::SerialEdit).isEmpty());
    ASSERT_EQ(main.script().boxes().size(), 1u);
    EXPECT_EQ(main.script().boxes().front().text, QStringLiteral("没有获取到设备信息!"));
    EXPECT_TRUE(traces.lines().contains(QStringLiteral("TLKeyReadSerial函数获取失败......")));
}

} // namespace
