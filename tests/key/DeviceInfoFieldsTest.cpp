#include "key/DeviceInfoFields.h"
#include "support/Cp936.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace talvo {
namespace {

TEST(DeviceInfoFields, ModeNamesShowUnknownCodesAsNone)
{
    EXPECT_EQ(modeDisplayName(0), "NONE");
    EXPECT_EQ(modeDisplayName(1), "COMMON");
    EXPECT_EQ(modeDisplayName(2), "ADMIN");
    EXPECT_EQ(modeDisplayName(3), "SUPER");
    for (int32_t unknown : {4, -1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
        EXPECT_EQ(modeDisplayName(unknown), "NONE") << unknown;
}

TEST(DeviceInfoFields, ModeTextMatchesInTableOrderWithAsciiFoldingAndPrefixes)
{
    const struct {
        const char* typed;
        std::optional<int32_t> mode;
    } cases[] = {
        {"NONE", 0},           {"none", 0},           {"nOnEsuch", 0},         {"COMMON", 1},
        {"common1", 1},        {"admin", 2},          {"Administrator", 2},    {"SUPER", 3},
        {"SuperUser", 3},      {"super1", 3},         {"", std::nullopt},      {"ROOT", std::nullopt},
        {"ADM", std::nullopt}, {"NON", std::nullopt}, {" NONE", std::nullopt}, {"SUPE", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchModeText(c.typed), c.mode) << '"' << c.typed << '"';
}

TEST(DeviceInfoFields, ModeTextFoldsOnlyAsciiLetters)
{
    // Full-width letters are double-byte characters: they never fold to the ASCII names.
    EXPECT_EQ(matchModeText(testing::cp936(QStringLiteral("ＡＤＭＩＮ"))), std::nullopt);
    // A double-byte character after a full name does not stop the prefix match.
    EXPECT_EQ(matchModeText(testing::cp936(QStringLiteral("admin管理"))), 2);
}

TEST(DeviceInfoFields, CheckStatesFromFlagsAndBack)
{
    EXPECT_EQ(checkStateFromFlag(0), Qt::Unchecked);
    EXPECT_EQ(checkStateFromFlag(1), Qt::Checked);
    EXPECT_EQ(checkStateFromFlag(2), Qt::PartiallyChecked);
    for (int outOfRange : {3, 5, 255, -1})
        EXPECT_EQ(checkStateFromFlag(outOfRange), Qt::Unchecked) << outOfRange;

    for (int value : {0, 1, 2})
        EXPECT_EQ(flagFromCheckState(checkStateFromFlag(value)), value);

    // Only a ticked box sets the flag on the key; an undecided one writes 0.
    EXPECT_EQ(flagByteFromMember(1), 1);
    EXPECT_EQ(flagByteFromMember(2), 0);
    EXPECT_EQ(flagByteFromMember(0), 0);
    EXPECT_EQ(flagByteFromMember(5), 0);
}

TEST(DeviceInfoFields, KeyRoleTicksForPrimaryAndUnset)
{
    EXPECT_EQ(keyRoleMember(0), 1);
    EXPECT_EQ(keyRoleMember(101), 1);
    EXPECT_EQ(keyRoleMember(102), 0);
    EXPECT_EQ(keyRoleMember(1), 0);
    EXPECT_EQ(keyRoleMember(-101), 0);
}

TEST(DeviceInfoFields, CountersShowUnsigned)
{
    EXPECT_EQ(unsignedDecimal(3), "3");
    EXPECT_EQ(unsignedDecimal(0), "0");
    EXPECT_EQ(unsignedDecimal(-1), "4294967295");
    EXPECT_EQ(unsignedDecimal(std::numeric_limits<int32_t>::min()), "2147483648");
}

TEST(DeviceInfoFields, DecimalReadsLikeAtoiAndKeepsShownValues)
{
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"abc", 0},
        {"3", 3},
        {"-5", -5},
        {"+4", 4},
        {" \t7x", 7},
        {"12abc", 12},
        {"- 3", 0},
        {"2147483647", std::numeric_limits<int32_t>::max()},
        {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"4294967295", -1},
        {"2147483648", std::numeric_limits<int32_t>::min()},
        {"99999999999999999999", std::numeric_limits<int32_t>::max()},
        {"-99999999999999999999", std::numeric_limits<int32_t>::min()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDecimal(c.text), c.value) << '"' << c.text << '"';

    // Whatever the page shows for a counter reads back as the same counter.
    for (int32_t value :
         {0, 3, -1, -7, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()})
        EXPECT_EQ(parseDecimal(unsignedDecimal(value).toStdString()), value) << value;
}

TEST(DeviceInfoFields, RecordKeepsTerminatorsAndLeavesUnwrittenFieldsZero)
{
    DeviceInfoForm form;
    form.flags.factory = 1;
    form.flags.format = 2; // undecided: not written as set
    form.flags.init = 0;
    form.flags.lock = 1;
    form.errorTimes = -1;
    form.mode = KeyModeSuper;
    form.pinHash = std::string(60, 'H');
    // 41 bytes: the character must go
    form.unitId = std::string(39, 'u') + testing::cp936(QStringLiteral("辽"));
    form.userId = std::string(300, 'x');

    const KeyBaseInfo record = buildKeyBaseInfo(form);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 1);
    EXPECT_EQ(record.errorTimes, -1);
    EXPECT_EQ(record.mode, 3);
    EXPECT_EQ(std::string(record.pinHash, 40), std::string(40, 'H'));
    EXPECT_EQ(bytes[52], 0);
    EXPECT_EQ(std::string(record.unitId), std::string(39, 'u'));
    EXPECT_EQ(std::string(record.userId, 240), std::string(240, 'x'));
    EXPECT_EQ(bytes[334], 0);
    for (std::size_t offset = 335; offset < sizeof record; ++offset)
        EXPECT_EQ(bytes[offset], 0) << "offset " << offset;
}

} // namespace
} // namespace talvo
