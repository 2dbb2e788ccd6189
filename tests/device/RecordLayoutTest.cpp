#include "device/TalvoDriverApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> bytesOf(const void* record, size_t size)
{
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), record, size);
    return bytes;
}

uint32_t littleEndianAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    return bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

TEST(RecordLayout, KeyBaseInfoFieldsLandOnTheirBytes)
{
    KeyBaseInfo info{};
    info.factoryFlag = 0x11;
    info.formatFlag = 0x22;
    info.initFlag = 0x33;
    info.lockFlag = 0x44;
    info.errorTimes = -1;
    info.mode = 2;
    std::memset(info.pinHash, 'H', 40);
    std::memset(info.unitId, 'U', 40);
    std::memset(info.userId, 'I', 240);
    info.sealNum = 0x01020304;
    info.timeControlFlag = 0x55;
    info.keyRole = 101;

    const auto bytes = bytesOf(&info, sizeof info);
    ASSERT_EQ(bytes.size(), 348u);
    EXPECT_EQ(bytes[0], 0x11);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x33);
    EXPECT_EQ(bytes[3], 0x44);
    EXPECT_EQ(littleEndianAt(bytes, 4), 0xFFFFFFFFu);
    EXPECT_EQ(littleEndianAt(bytes, 8), 2u);
    EXPECT_EQ(bytes[12], 'H');
    EXPECT_EQ(bytes[51], 'H');
    EXPECT_EQ(bytes[52], 0) << "the hash field's terminator";
    EXPECT_EQ(bytes[53], 'U');
    EXPECT_EQ(bytes[93], 0) << "the unit id's terminator";
    EXPECT_EQ(bytes[94], 'I');
    EXPECT_EQ(bytes[333], 'I');
    EXPECT_EQ(bytes[334], 0) << "the user id's terminator";
    EXPECT_EQ(bytes[335], 0) << "gap";
    EXPECT_EQ(bytes[336], 0x04);
    EXPECT_EQ(littleEndianAt(bytes, 336), 0x01020304u);
    EXPECT_EQ(bytes[340], 0x55);
    EXPECT_EQ(bytes[341] | bytes[342] | bytes[343], 0) << "gap";
    EXPECT_EQ(littleEndianAt(bytes, 344), 101u);
}

TEST(RecordLayout, SealTableSlotsFollowTheBaseRecord)
{
    KeyInfo info{};
    for (int k = 0; k < TL_SEAL_SLOTS; ++k)
        info.sealTable[k].number = TL_FIRST_SEAL_NUMBER + k;
    SealEntry& slot7 = info.sealTable[7];
    slot7.inUse = 1;
    std::memset(slot7.name, 'N', 34);
    std::memcpy(slot7.expiryTime, "2030-01-02 00:00:00", 19);
    std::memcpy(slot7.initTime, "2026-12-07", 10);

    const auto bytes = bytesOf(&info, sizeof info);
    ASSERT_EQ(bytes.size(), 1188u);
    for (size_t k = 0; k < 10; ++k)
        EXPECT_EQ(littleEndianAt(bytes, 348 + 84 * k), 101 + k) << "slot " << k;
    const size_t base = 348 + 84 * 7;
    EXPECT_EQ(bytes[base + 4], 1);
    EXPECT_EQ(bytes[base + 5], 'N');
    EXPECT_EQ(bytes[base + 38], 'N');
    EXPECT_EQ(bytes[base + 39], 0);
    EXPECT_EQ(std::memcmp(&bytes[base + 40], "2030-01-02 00:00:00", 19), 0);
    EXPECT_EQ(bytes[base + 61], 0) << "spare text";
    EXPECT_EQ(std::memcmp(&bytes[base + 72], "2026-12-07", 10), 0);
    EXPECT_EQ(bytes[base + 83], 0) << "padding";
}

} // namespace
