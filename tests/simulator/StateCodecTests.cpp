#include "simulator/key/StateCodec.h"

#include <gtest/gtest.h>

namespace talvo::sim {
namespace {

KeyState fullState()
{
    KeyState state;
    state.serial = "TLV-0001";
    state.factoryFlag = 255;
    state.formatFlag = 2;
    state.lockFlag = 1;
    state.errorTimes = -2147483647 - 1;
    state.mode = 2147483647;
    state.pinHash = std::string(kPinHashMax, 'F');
    state.unitId = "\xC1\xC9\xC4\xFE\x7F\x01="; // CP936 bytes, a control byte and a separator
    state.userId = std::string(kUserIdMax, '\xFE');
    state.timeControlFlag = 1;
    state.keyRole = -5;
    state.certificateStoreCount = 1;
    SealRecord& seal = state.seal(kLastSealNumber);
    seal.inUse = true;
    seal.name = std::string(kSealNameMax, 'n');
    seal.expiryTime = "2030-01-01 00:00:00";
    seal.initTime = "2026-01-15";
    seal.pictureSize = 4294967295u;
    state.failures["TLKeyReadCert"] = -7;
    state.failures["TLShowDlg"] = 0;
    return state;
}

TEST(StateCodecTest, EveryFieldSurvivesARoundTrip)
{
    const KeyState state = fullState();
    KeyState decoded;
    std::string error;
    ASSERT_TRUE(decodeState(encodeState(state), decoded, &error)) << error;
    EXPECT_EQ(decoded, state);
    EXPECT_EQ(decoded.sealCount(), 1);
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(StateCodecTest, AnythingButAWholeStateIsRefusedAndLeavesTheTargetAlone)
{
    const std::string good = encodeState(fullState());
    const std::pair<const char*, std::string> damaged[] = {
        {"no end line", good.substr(0, good.size() - 4)},
        {"no final newline", good.substr(0, good.size() - 1)},
        {"trailing data", good + "x\n"},
        {"wrong header", replaced(good, "talvo-sim-state 1", "talvo-sim-state 2")},
        {"windows line ends", replaced(good, "mode=2147483647\n", "mode=2147483647\r\n")},
        {"repeated field", replaced(good, "keyRole=-5\n", "keyRole=-5\nkeyRole=-5\n")},
        {"unknown field", replaced(good, "keyRole=-5\n", "keyRole=-5\ncolour=red\n")},
        {"missing field", replaced(good, "lockFlag=1\n", "")},
        {"line without value", replaced(good, "lockFlag=1\n", "lockFlag\n")},
        {"odd hex", replaced(good, "serial=", "serial=5")},
        {"bad hex", replaced(good, "serial=", "serial=zz")},
        {"zero byte in a text", replaced(good, "serial=", "serial=00")},
        {"empty serial", replaced(good, "serial=544c562d30303031", "serial=")},
        {"hash too long", replaced(good, "pinHash=", "pinHash=46")},
        {"flag above a byte", replaced(good, "factoryFlag=255", "factoryFlag=256")},
        {"integer beyond 32 bits", replaced(good, "mode=2147483647", "mode=2147483648")},
        {"number with a suffix", replaced(good, "keyRole=-5", "keyRole=-5x")},
        {"negative store count", replaced(good, "certificateStore=1", "certificateStore=-1")},
        {"seal beyond the table", replaced(good, "seal.110.", "seal.111.")},
        {"seal number with a leading zero", replaced(good, "seal.110.name", "seal.0110.name")},
        {"seal without a picture size", replaced(good, "seal.110.pictureSize=4294967295\n", "")},
        {"seal with an empty picture", replaced(good, "pictureSize=4294967295", "pictureSize=0")},
        {"picture beyond 32 bits", replaced(good, "pictureSize=4294967295", "pictureSize=4294967296")},
        {"seal with a stray field", replaced(good, "seal.110.name", "seal.110.colour=00\nseal.110.name")},
        {"failure of an unknown function", replaced(good, "fail.TLShowDlg", "fail.TLNoSuch")},
    };
    for (const auto& [what, text] : damaged) {
        SCOPED_TRACE(what);
        KeyState target;
        target.serial = "untouched";
        std::string error;
        EXPECT_FALSE(decodeState(text, target, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(target.serial, "untouched");
    }
}

} // namespace
} // namespace talvo::sim
