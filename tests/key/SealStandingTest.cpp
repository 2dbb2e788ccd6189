#include "key/SealStanding.h"
#include "support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cstring>

namespace talvo::testing {
namespace {

// 2030-12-31 00:00:00 in Shanghai (UTC+8, no daylight saving).
constexpr std::time_t kExpiry = 1924876800;

SealEntry entry(const char* expiry)
{
    SealEntry seal{};
    seal.number = 104;
    seal.inUse = 1;
    std::strncpy(seal.expiryTime, expiry, sizeof seal.expiryTime);
    std::memcpy(seal.name, "seal", 4);
    return seal;
}

TEST(SealStanding, IsInForceUntilItsExpiryTimeOnly)
{
    const ScopedTimeZone zone("Asia/Shanghai");
    const struct {
        const char* expiry;
        std::time_t at;
        bool inForce;
    } cases[] = {
        {"2030-12-31 00:00:00", kExpiry - 1, true},
        {"2030-12-31 00:00:00", kExpiry, false},
        {"2030-12-31 00:00:00", kExpiry + 86400, false},
        {"2030-12-31 08:00:00", kExpiry + 3600, true},
        {"", 0, false},
        {"2030-12-31", 0, false},
        {"2030-12-31 00:00:00 ", 0, false},
        {"never", 0, false},
    };
    for (const auto& standing : cases) {
        const SealStanding judged = sealStanding(entry(standing.expiry), standing.at);
        EXPECT_EQ(judged.inForce, standing.inForce) << standing.expiry << " at " << standing.at;
        EXPECT_EQ(judged.expiryText, standing.expiry);
        EXPECT_EQ(judged.number, 104);
    }
}

TEST(SealStanding, TakesTextsNoLongerThanTheirFields)
{
    SealEntry seal = entry("2030-12-31 00:00:00");
    std::memset(seal.name, 'N', sizeof seal.name);
    std::memset(seal.expiryTime, '9', sizeof seal.expiryTime);
    const SealStanding judged = sealStanding(seal, 0);
    EXPECT_EQ(judged.cp936Name, std::string(sizeof seal.name, 'N'));
    EXPECT_EQ(judged.expiryText.size(), sizeof seal.expiryTime);
    EXPECT_FALSE(judged.inForce);
}

} // namespace
} // namespace talvo::testing
