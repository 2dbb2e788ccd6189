#include "DriverTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace talvo::testing {
namespace {

class DriverRecordTest : public DriverContractTest {
protected:
    SimulatedKey m_key{SimulatedKey::Content::Demo, GetParam()};
};

TEST_P(DriverRecordTest, ExportsEveryBoundName)
{
    ASSERT_TRUE(driver().isLibraryLoaded());
    EXPECT_EQ(driver().boundCount(), 52);
}

TEST_P(DriverRecordTest, PresenceAndSerialAnswerOnlyKnownSelectors)
{
    for (int32_t selector = 0; selector <= 4; ++selector)
        EXPECT_TRUE(driver().TLKeyIsExist(selector)) << selector;
    EXPECT_FALSE(driver().TLKeyIsExist(5));
    EXPECT_FALSE(driver().TLKeyIsExist(-1));

    char serial[TL_SERIAL_BUFFER_SIZE];
    std::memset(serial, 'x', sizeof serial);
    ASSERT_EQ(driver().TLKeyReadSerial(serial, 4), TL_OK);
    const std::string expected = keySerial(m_key);
    EXPECT_STREQ(serial, expected.c_str());
    EXPECT_EQ(serial[expected.size() + 1], 'x') << "nothing is written after the terminator";
    EXPECT_EQ(driver().TLKeyReadSerial(serial, 9), TL_ERR_PARAMETER);
}

TEST_P(DriverRecordTest, KeyInfoOfTheDemoKey)
{
    KeyInfo info;
    std::memset(&info, 0xAB, sizeof info);
    ASSERT_EQ(driver().TLKeyReadKeyInfo(&info), TL_OK);
    const KeyBaseInfo& base = info.base;
    EXPECT_EQ(base.mode, 1);
    EXPECT_EQ(base.keyRole, 101);
    EXPECT_EQ(base.sealNum, 3);
    EXPECT_EQ(base.errorTimes, 0);
    EXPECT_EQ(fieldText(base.pinHash), kFactoryPinHash);
    EXPECT_EQ(fieldText(base.unitId), cp936("辽宁示范单位"));
    EXPECT_EQ(base.gap335, 0);
    EXPECT_EQ(base.gap341[0] | base.gap341[1] | base.gap341[2], 0);

    EXPECT_EQ(fieldText(info.sealTable[0].name), cp936("合同专用章"));
    EXPECT_EQ(fieldText(info.sealTable[1].name), cp936("财务专用章"));
    EXPECT_EQ(fieldText(info.sealTable[2].expiryTime), "2035-01-01 00:00:00");
    EXPECT_EQ(fieldText(info.sealTable[2].initTime), "2026-01-15");
    for (int k = 0; k < TL_SEAL_SLOTS; ++k) {
        SCOPED_TRACE(k);
        const SealEntry& entry = info.sealTable[k];
        EXPECT_EQ(entry.number, 101 + k);
        EXPECT_EQ(entry.inUse, k < 3 ? 1 : 0);
        if (k >= 3) {
            SealEntry empty{};
            empty.number = 101 + k;
            EXPECT_EQ(std::memcmp(&entry, &empty, sizeof entry), 0) << "an empty slot is zero-filled";
        }
    }
}

TEST_P(DriverRecordTest, CalcHashIsUppercaseMd5OfTheGivenBytes)
{
    char hash[TL_HASH_BUFFER_SIZE + 1] = {};
    ASSERT_EQ(driver().TLKeyCalcHash("730264", 6, hash), TL_OK);
    EXPECT_STREQ(hash, kFactoryPinHash);

    // The length counts bytes, zero bytes included, as the CSP page passes a short PIN.
    char padded[7] = "12";
    char shortHash[TL_HASH_BUFFER_SIZE] = {};
    char paddedHash[TL_HASH_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyCalcHash(padded, 2, shortHash), TL_OK);
    ASSERT_EQ(driver().TLKeyCalcHash(padded, 6, paddedHash), TL_OK);
    EXPECT_STRNE(shortHash, paddedHash);

    EXPECT_EQ(driver().TLKeyCalcHash("730264", -1, hash), TL_ERR_PARAMETER);
    EXPECT_EQ(driver().TLKeyCalcHash("730264", 257, hash), TL_ERR_PARAMETER);
}

TEST_P(DriverRecordTest, ChangedHashDecidesCheckAndVerify)
{
    char newHash[TL_HASH_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyCalcHash("123456", 6, newHash), TL_OK);
    ASSERT_EQ(driver().TLKeyWriteHash(newHash, 4), TL_OK);

    char stored[TL_HASH_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyReadHash(stored, 2), TL_OK);
    EXPECT_STREQ(stored, "E10ADC3949BA59ABBE56E057F20F883E");

    uint8_t matches = 0;
    ASSERT_EQ(driver().TLKeyCheckHash("123456", 6, &matches), TL_OK);
    EXPECT_EQ(matches, 1);
    ASSERT_EQ(driver().TLKeyCheckHash("730264", 6, &matches), TL_OK);
    EXPECT_EQ(matches, 0);
    EXPECT_EQ(driver().TLKeyVerifyUserPin("123456"), TL_OK);
    EXPECT_EQ(driver().TLKeyVerifyUserPin("730264"), TL_ERR_API);
    EXPECT_EQ(driver().TLKeyVerifyUserPin(""), TL_ERR_API);

    // A hash text that is not terminated within its 40 bytes is refused and changes nothing.
    char unterminated[TL_HASH_BUFFER_SIZE];
    std::memset(unterminated, 'A', sizeof unterminated);
    EXPECT_EQ(driver().TLKeyWriteHash(unterminated, 4), TL_ERR_PARAMETER);
    ASSERT_EQ(driver().TLKeyReadHash(stored, 4), TL_OK);
    EXPECT_STREQ(stored, "E10ADC3949BA59ABBE56E057F20F883E");
}

TEST_P(DriverRecordTest, WriteBaseInfoKeepsTheKeysOwnFields)
{
    KeyBaseInfo base{};
    base.factoryFlag = 0;
    base.formatFlag = 5; // stored as given: the page shows values above 2 as clear
    base.initFlag = 1;
    base.lockFlag = 1;
    base.errorTimes = -1;
    base.mode = 2;
    std::memset(base.pinHash, 'F', 40);
    std::strcpy(base.unitId, cp936("辽宁").c_str());
    std::memset(base.userId, 'u', 240);
    base.sealNum = 9;
    base.timeControlFlag = 1;
    base.keyRole = 102;
    ASSERT_EQ(driver().TLKeyWriteKeyBaseInfo(base), TL_OK);

    const KeyInfo info = readKeyInfo();
    EXPECT_EQ(info.base.formatFlag, 5);
    EXPECT_EQ(info.base.lockFlag, 1);
    EXPECT_EQ(info.base.errorTimes, -1);
    EXPECT_EQ(info.base.mode, 2);
    EXPECT_EQ(fieldText(info.base.pinHash), std::string(40, 'F'));
    EXPECT_EQ(fieldText(info.base.unitId), cp936("辽宁"));
    EXPECT_EQ(fieldText(info.base.userId), std::string(240, 'u'));
    EXPECT_EQ(info.base.sealNum, 3);
    EXPECT_EQ(info.base.timeControlFlag, 0);
    EXPECT_EQ(info.base.keyRole, 101);

    // The hash buffer holds 39 bytes and a terminator: a 40-byte stored hash is cut, not spilled.
    char hash[TL_HASH_BUFFER_SIZE + 8];
    std::memset(hash, 'x', sizeof hash);
    ASSERT_EQ(driver().TLKeyReadHash(hash, 2), TL_OK);
    EXPECT_EQ(std::string(hash, 39), std::string(39, 'F'));
    EXPECT_EQ(hash[39], '\0');
    EXPECT_EQ(hash[40], 'x');
}

TEST_P(DriverRecordTest, UnterminatedTextsAreCutWithoutSplittingACharacter)
{
    KeyBaseInfo base{};
    // One ASCII byte and twenty double-byte characters fill all 41 bytes: the cut to 40 bytes
    // must drop the last whole character rather than keep half of it.
    base.unitId[0] = 'a';
    for (int i = 0; i < 20; ++i) {
        base.unitId[1 + 2 * i] = '\xB0';
        base.unitId[2 + 2 * i] = '\xA1';
    }
    std::memset(base.pinHash, '1', sizeof base.pinHash);
    ASSERT_EQ(driver().TLKeyWriteKeyBaseInfo(base), TL_OK);

    const KeyInfo info = readKeyInfo();
    EXPECT_EQ(fieldText(info.base.unitId).size(), 39u);
    EXPECT_EQ(fieldText(info.base.pinHash), std::string(40, '1'));
}

TEST_P(DriverRecordTest, LowFormatResetsTheRecordAndEmptiesTheSeals)
{
    ASSERT_TRUE(driver().TLRegCerts());
    ASSERT_EQ(driver().TLKeyLowFormat(), TL_OK);

    const KeyInfo info = readKeyInfo();
    EXPECT_EQ(info.base.factoryFlag, 0);
    EXPECT_EQ(info.base.formatFlag, 1);
    EXPECT_EQ(info.base.initFlag, 0);
    EXPECT_EQ(info.base.mode, 0);
    EXPECT_EQ(fieldText(info.base.unitId), "");
    EXPECT_EQ(fieldText(info.base.userId), "");
    EXPECT_EQ(fieldText(info.base.pinHash), kFactoryPinHash);
    EXPECT_EQ(info.base.sealNum, 0);
    EXPECT_EQ(info.base.keyRole, 101);
    for (const SealEntry& entry : info.sealTable)
        EXPECT_EQ(entry.inUse, 0);
    EXPECT_FALSE(holdsPicture(m_key, 101)) << "the pictures go with their seals";

    char serial[TL_SERIAL_BUFFER_SIZE] = {};
    ASSERT_EQ(driver().TLKeyReadSerial(serial, 4), TL_OK);
    EXPECT_EQ(serial, keySerial(m_key));
    uint32_t length = 0;
    EXPECT_EQ(driver().TLKeyReadCert(nullptr, &length), TL_OK);
    EXPECT_GT(length, 0u);
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 1) << "the desktop's store is not on the key";
}

TEST_P(DriverRecordTest, InitIssuesTheKeyForAnOperator)
{
    const std::string unit = cp936("辽宁");
    ASSERT_EQ(driver().TLKeyInit(3, unit.c_str(), "vudeze"), TL_OK);
    KeyInfo info = readKeyInfo();
    EXPECT_EQ(info.base.mode, 3);
    EXPECT_EQ(info.base.initFlag, 1);
    EXPECT_EQ(fieldText(info.base.unitId), unit);
    EXPECT_EQ(fieldText(info.base.userId), "vudeze");

    const std::string tooLong(300, 'z');
    ASSERT_EQ(driver().TLKeyInit(2, tooLong.c_str(), tooLong.c_str()), TL_OK);
    info = readKeyInfo();
    EXPECT_EQ(fieldText(info.base.unitId), std::string(40, 'z'));
    EXPECT_EQ(fieldText(info.base.userId), std::string(240, 'z'));

    EXPECT_EQ(driver().TLKeyInit(4, "a", "b"), TL_ERR_PARAMETER);
    EXPECT_EQ(driver().TLKeyInit(-1, "a", "b"), TL_ERR_PARAMETER);
    EXPECT_EQ(readKeyInfo().base.mode, 2) << "a refused mode changes nothing";
}

TEST_P(DriverRecordTest, CertificateStoreCountsTheKeysOneCertificate)
{
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
    EXPECT_TRUE(driver().TLRegCerts());
    EXPECT_TRUE(driver().TLRegCerts());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 1);
    EXPECT_TRUE(driver().TLRemoveAllCertsFromIE());
    EXPECT_EQ(driver().TLGetCertsNumFromIE(), 0);
}

TEST_P(DriverRecordTest, StatusDialogAndProviderName)
{
    uint32_t status = 77;
    EXPECT_EQ(driver().TLKeyGetStatus(&status), TL_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(driver().TLShowDlg(), TL_OK);
    const char* name = driver().TLKeyReadCspName();
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "MERO Cryptographic Service Provider v1.0.0");
}

TALVO_DRIVER_CONTRACT(DriverRecordTest);

} // namespace
} // namespace talvo::testing
