#include "DriverTestSupport.h"

#include "simulator/key/KeyState.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <vector>

namespace talvo::testing {
namespace {

QByteArray demoPicture(const char* name)
{
    QFile file(QStringLiteral(TALVO_SOURCE_DIR "/simulator/demo/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<uint8_t> readPicture(int32_t number)
{
    uint32_t length = 0;
    EXPECT_EQ(driver().TLKeyReadSealData(number, nullptr, &length), TL_OK);
    std::vector<uint8_t> bytes(length);
    EXPECT_EQ(driver().TLKeyReadSealData(number, bytes.data(), &length), TL_OK);
    bytes.resize(length);
    return bytes;
}

std::vector<uint8_t> toBytes(const QByteArray& bytes)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

class DriverSealTest : public DriverContractTest {};

int32_t writeSeal(const char* name, const std::vector<uint8_t>& picture)
{
    return driver().TLKeyWriteSealData(name, "2031-02-03 00:00:00", picture.data(),
                                       static_cast<uint32_t>(picture.size()));
}

TEST_P(DriverSealTest, PictureTwoCallFormDeliversTheStoredBytes)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    const QByteArray gif = demoPicture("contract-seal.gif");
    ASSERT_FALSE(gif.isEmpty());

    uint32_t length = 0;
    ASSERT_EQ(driver().TLKeyReadSealData(101, nullptr, &length), TL_OK);
    ASSERT_EQ(length, static_cast<uint32_t>(gif.size()));

    // A larger buffer gets the picture and the count of bytes written; the rest stays as it was.
    std::vector<uint8_t> buffer(length + 10, 0xEE);
    length = static_cast<uint32_t>(buffer.size());
    ASSERT_EQ(driver().TLKeyReadSealData(101, buffer.data(), &length), TL_OK);
    EXPECT_EQ(length, static_cast<uint32_t>(gif.size()));
    EXPECT_EQ(std::memcmp(buffer.data(), gif.constData(), length), 0);
    EXPECT_EQ(buffer[length], 0xEE);

    EXPECT_EQ(readPicture(103), toBytes(demoPicture("official-seal.gif")));
}

TEST_P(DriverSealTest, ShortBufferAnswersTheNeededSizeAndStaysUntouched)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    std::vector<uint8_t> buffer(100, 0xEE);
    uint32_t length = 99;
    EXPECT_EQ(driver().TLKeyReadSealData(102, buffer.data(), &length), TL_ERR_MEMORY);
    EXPECT_EQ(length, static_cast<uint32_t>(demoPicture("finance-seal.gif").size()));
    EXPECT_EQ(buffer, std::vector<uint8_t>(100, 0xEE));
}

TEST_P(DriverSealTest, UnknownOrEmptySealsAreParameterErrors)
{
    const SimulatedKey key(SimulatedKey::Content::Demo, GetParam());
    uint32_t length = 0;
    for (const int32_t number : {100, 104, 110, 111, -101}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(driver().TLKeyReadSealData(number, nullptr, &length), TL_ERR_PARAMETER);
        EXPECT_EQ(driver().TLKeyDelSealData(number), TL_ERR_PARAMETER);
        EXPECT_EQ(driver().TLKeyWriteSealTime(number, "2030-01-01 00:00:00"), TL_ERR_PARAMETER);
    }
    EXPECT_EQ(driver().TLKeyReadSealData(101, nullptr, nullptr), TL_ERR_PARAMETER);
}

TEST_P(DriverSealTest, NewSealsTakeTheFirstFreeSlotUntilTheKeyIsFull)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const std::vector<uint8_t> picture = {'G', 'I', 'F', 0, 1, 2, 0xFF};
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(writeSeal(("seal " + std::to_string(i)).c_str(), picture), TL_OK) << i;
    EXPECT_EQ(writeSeal("one too many", picture), TL_ERR_NO_SPACE);
    int32_t count = 0;
    ASSERT_EQ(driver().TLKeyReadSealNum(&count), TL_OK);
    EXPECT_EQ(count, 10);

    ASSERT_EQ(driver().TLKeyDelSealData(104), TL_OK);
    ASSERT_EQ(driver().TLKeyDelSealData(102), TL_OK);
    EXPECT_FALSE(holdsPicture(key, 104));
    ASSERT_EQ(writeSeal("refill", {9, 9}), TL_OK);

    const KeyInfo info = readKeyInfo();
    EXPECT_EQ(fieldText(info.sealTable[1].name), "refill");
    EXPECT_EQ(info.sealTable[3].inUse, 0);
    EXPECT_EQ(fieldText(info.sealTable[0].name), "seal 0");
    EXPECT_EQ(fieldText(info.sealTable[0].expiryTime), "2031-02-03 00:00:00");
    EXPECT_EQ(fieldText(info.sealTable[0].initTime), today());
    EXPECT_EQ(fieldText(info.sealTable[0].spareText), "");
    EXPECT_EQ(info.base.sealNum, 9);
    EXPECT_EQ(readPicture(102), (std::vector<uint8_t>{9, 9}));
    EXPECT_EQ(readPicture(110), picture);
}

TEST_P(DriverSealTest, LargePictureIsKeptWhole)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    std::vector<uint8_t> picture(3 * 1024 * 1024 + 7);
    for (std::size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i * 31 + i / 7);
    ASSERT_EQ(writeSeal("large", picture), TL_OK);
    EXPECT_EQ(readPicture(101), picture);
}

TEST_P(DriverSealTest, PictureLargerThanTheKeyHoldsIsRefused)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const std::vector<uint8_t> picture(sim::kMaxPictureSize + 1, 7);
    EXPECT_EQ(writeSeal("too large", picture), TL_ERR_NO_SPACE);
    EXPECT_EQ(readKeyInfo().base.sealNum, 0);
}

TEST_P(DriverSealTest, NamesAndTimesAreBoundedByTheirBuffers)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    char name[TL_SEAL_NAME_SIZE];
    std::memset(name, 'n', sizeof name); // no terminator within its 35 bytes
    char expiry[TL_SEAL_TIME_SIZE];
    std::memset(expiry, '9', sizeof expiry);
    const uint8_t picture[] = {1};
    ASSERT_EQ(driver().TLKeyWriteSealData(name, expiry, picture, 1), TL_OK);
    KeyInfo info = readKeyInfo();
    EXPECT_EQ(fieldText(info.sealTable[0].name), std::string(34, 'n'));
    EXPECT_EQ(fieldText(info.sealTable[0].expiryTime), std::string(20, '9'));

    char time[TL_SEAL_TIME_SIZE];
    std::memset(time, '7', sizeof time);
    ASSERT_EQ(driver().TLKeyWriteSealTime(101, time), TL_OK);
    EXPECT_EQ(fieldText(readKeyInfo().sealTable[0].expiryTime), std::string(20, '7'));
    ASSERT_EQ(driver().TLKeyWriteSealTime(101, "2029-09-09 00:00:00"), TL_OK);
    info = readKeyInfo();
    EXPECT_EQ(fieldText(info.sealTable[0].expiryTime), "2029-09-09 00:00:00");
    EXPECT_EQ(fieldText(info.sealTable[0].initTime), today()) << "only the expiry time is written";
}

TEST_P(DriverSealTest, WriteRefusesMissingData)
{
    const SimulatedKey key(SimulatedKey::Content::Empty, GetParam());
    const uint8_t picture[] = {1, 2, 3};
    EXPECT_EQ(driver().TLKeyWriteSealData("a", "b", picture, 0), TL_ERR_PARAMETER);
    EXPECT_EQ(driver().TLKeyWriteSealData("a", "b", nullptr, 3), TL_ERR_PARAMETER);
    EXPECT_EQ(driver().TLKeyWriteSealData(nullptr, "b", picture, 3), TL_ERR_PARAMETER);
    EXPECT_EQ(driver().TLKeyWriteSealData("a", nullptr, picture, 3), TL_ERR_PARAMETER);
    EXPECT_EQ(readKeyInfo().base.sealNum, 0);
}

TALVO_DRIVER_CONTRACT(DriverSealTest);

} // namespace
} // namespace talvo::testing
