#include "key/TwoCallRead.h"

#include "device/TalvoDriverApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace talvo {
namespace {

// A driver's read that announces one length, writes some bytes and claims another length.
struct ScriptedRead {
    uint32_t announced = 0;
    std::string written;
    uint32_t claimed = 0;
    // Each call as (buffer given, length given).
    std::vector<std::pair<bool, uint32_t>> calls;

    LengthCall call()
    {
        return [this](uint8_t* buffer, uint32_t* length) {
            calls.emplace_back(buffer != nullptr, *length);
            if (!buffer) {
                *length = announced;
                return TL_OK;
            }
            std::memcpy(buffer, written.data(), std::min<std::size_t>(written.size(), *length));
            *length = claimed;
            return TL_OK;
        };
    }
};

TEST(TwoCallRead, KeepsTheSecondCallWithinItsBufferAndTheFirstLength)
{
    const struct {
        const char* name;
        ScriptedRead read;
        uint32_t minimumSize;
        std::pair<bool, uint32_t> secondCall;
        std::string delivered;
    } cases[] = {
        {"as announced", {3, "abc", 3, {}}, 0, {true, 3}, "abc"},
        {"a claim beyond the buffer", {3, "abc", 1000, {}}, 0, {true, 3}, "abc"},
        {"less than announced, zeros after", {4, "ab", 4, {}}, 0, {true, 4}, std::string("ab\0\0", 4)},
        {"less claimed than announced", {4, "abcd", 2, {}}, 0, {true, 4}, "ab"},
        {"nothing announced: another length query", {0, "", 0, {}}, 0, {false, 0}, ""},
        {"nothing announced, a buffer all the same", {0, "x", 1, {}}, 1, {true, 1}, ""},
    };
    for (auto c : cases) {
        TwoCallRead read(c.read.call());
        EXPECT_EQ(read.askLength(), TL_OK) << c.name;
        EXPECT_EQ(read.readBytes(c.minimumSize), TL_OK) << c.name;
        ASSERT_EQ(c.read.calls.size(), 2u) << c.name;
        EXPECT_EQ(c.read.calls[1], c.secondCall) << c.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(read.bytes()), read.size()), c.delivered)
            << c.name;
    }
}

TEST(TwoCallRead, RefusesALengthBeyondItsLimitWithoutASecondCall)
{
    ScriptedRead script{TwoCallRead::kMaxLength + 1, "", 0, {}};
    TwoCallRead read(script.call());
    read.askLength();
    EXPECT_EQ(read.readBytes(), TL_ERR_MEMORY);
    EXPECT_TRUE(read.refused());
    EXPECT_EQ(script.calls.size(), 1u);
    EXPECT_EQ(read.bytes(), nullptr);
    EXPECT_EQ(read.size(), 0u);

    // A larger limit takes it.
    TwoCallRead unlimited(script.call(), TwoCallRead::kMaxLength + 1);
    unlimited.askLength();
    EXPECT_EQ(unlimited.readBytes(), TL_OK);
    EXPECT_EQ(unlimited.size(), 0u);
}

} // namespace
} // namespace talvo
