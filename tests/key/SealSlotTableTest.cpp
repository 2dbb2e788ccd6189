#include "key/SealSlotTable.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using talvo::SealSlotTable;

namespace {

KeyInfo keyWithSeals(std::initializer_list<int> usedSlots)
{
    KeyInfo info{};
    for (int k = 0; k < TL_SEAL_SLOTS; ++k)
        info.sealTable[k].number = TL_FIRST_SEAL_NUMBER + k;
    for (int k : usedSlots) {
        SealEntry& entry = info.sealTable[k];
        entry.inUse = 1;
        std::snprintf(entry.name, sizeof entry.name, "seal in slot %d", k);
        std::snprintf(entry.expiryTime, sizeof entry.expiryTime, "2030-01-0%d 00:00:00", k);
    }
    return info;
}

} // namespace

TEST(SealSlotTable, ResetNumbersTheSlotsAndListsNothing)
{
    SealSlotTable table;
    table.rebuildFrom(keyWithSeals({1, 2}));
    table.reset();
    EXPECT_EQ(table.listedCount(), 0);
    for (int i = 0; i < SealSlotTable::kSlots; ++i) {
        EXPECT_EQ(table.slot(i).number, 101 + i);
        EXPECT_EQ(table.slot(i).inUse, 0);
        EXPECT_EQ(table.slot(i).name[0], '\0');
        EXPECT_EQ(table.slot(i).expiryTime[0], '\0');
    }
    EXPECT_EQ(table.numberAt(0), 0);
}

TEST(SealSlotTable, ListsSeatedSlotsInSlotOrder)
{
    SealSlotTable table;
    table.reset();
    ASSERT_EQ(table.rebuildFrom(keyWithSeals({7, 0, 3})), 3);
    EXPECT_EQ(table.numberAt(0), 101);
    EXPECT_EQ(table.numberAt(1), 104);
    EXPECT_EQ(table.numberAt(2), 108);
    EXPECT_STREQ(table.listedEntry(0)->name, "seal in slot 0");
    EXPECT_STREQ(table.listedEntry(2)->name, "seal in slot 7");
    EXPECT_STREQ(table.entryForNumber(108)->expiryTime, "2030-01-07 00:00:00");
}

TEST(SealSlotTable, AnswersNothingOutsideTheListAndTheTenSlots)
{
    SealSlotTable table;
    table.reset();
    table.rebuildFrom(keyWithSeals({0, 3, 7}));
    EXPECT_EQ(table.numberAt(3), 0);
    EXPECT_EQ(table.numberAt(-1), 0);
    EXPECT_EQ(table.listedEntry(3), nullptr);
    EXPECT_EQ(table.listedEntry(-1), nullptr);
    EXPECT_EQ(table.entryForNumber(100), nullptr);
    EXPECT_EQ(table.entryForNumber(111), nullptr);
    EXPECT_EQ(table.entryForNumber(0), nullptr);
    EXPECT_EQ(table.entryForNumber(INT32_MIN), nullptr);
    EXPECT_EQ(table.entryForNumber(INT32_MAX), nullptr);
    EXPECT_EQ(table.entryForNumber(101), &table.slot(0));
    EXPECT_EQ(table.entryForNumber(110), &table.slot(9));
}

TEST(SealSlotTable, ARebuildListsOnlyWhatTheKeyNowHolds)
{
    SealSlotTable table;
    table.reset();
    table.rebuildFrom(keyWithSeals({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(table.listedCount(), 10);
    EXPECT_EQ(table.numberAt(9), 110);
    EXPECT_EQ(table.rebuildFrom(keyWithSeals({5})), 1);
    EXPECT_EQ(table.numberAt(0), 106);
    EXPECT_EQ(table.numberAt(1), 0);
    EXPECT_EQ(table.rebuildFrom(keyWithSeals({})), 0);
    EXPECT_EQ(table.numberAt(0), 0);
}
