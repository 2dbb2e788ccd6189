// Runs against the simulated key.
#include "MainWindowFixture.h"
#include "resources/ControlIds.h"
#include "support/SimulatedKey.h"

#include <gtest/gtest.h>

namespace {

using talvo::testing::MainWindowFixture;
using talvo::testing::SimulatedKey;
namespace ids = talvo::ids;

TEST(WithSimulatedKey, RefreshShowsTheKeysSerialNumber)
{
    SimulatedKey key;
    MainWindowFixture main;
    EXPECT_TRUE(main.window().itemText(ids::main::SerialEdit).isEmpty())
        << "nothing is read before the button";
    main.pressButton(ids::main::RefreshButton);
    EXPECT_EQ(main.window().itemText(ids::main::SerialEdit), QStringLiteral("TLV-2026-00017"));
    EXPECT_TRUE(main.script().boxes().empty());
}

TEST(WithSimulatedKey, AnUnpluggedOrFailingKeyGivesNoSerialNumber)
{
    SimulatedKey key;
    MainWindowFixture main;
    main.pressButton(ids::main::RefreshButton);
    ASSERT_FALSE(main.window().itemText(ids::main::SerialEdit).isEmpty());

    key.unplug();
    main.script().answerBox(talvo::BoxResult::Ok);
    main.pressButton(ids::main::RefreshButton);
    EXPECT_TRUE(main.window().itemText(ids::main::SerialEdit).isEmpty());

    key.plug();
    key.fail(QStringLiteral("TLKeyReadSerial"), 2);
    main.script().answerBox(talvo::BoxResult::Ok);
    main.pressButton(ids::main::RefreshButton);
    EXPECT_TRUE(main.window().itemText(ids::main::SerialEdit).isEmpty());

    ASSERT_EQ(main.script().boxes().size(), 2u);
    for (const auto& box : main.script().boxes())
        EXPECT_EQ(box.text, QStringLiteral("没有获取到设备信息!"));
}

} // namespace
