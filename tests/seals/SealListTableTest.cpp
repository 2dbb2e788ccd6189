#include "seals/SealListTable.h"

#include <gtest/gtest.h>

TEST(SealListTable, TheProcessHasOneTable)
{
    EXPECT_EQ(&talvo::sealSlotTable(), &talvo::sealSlotTable());
    EXPECT_EQ(talvo::sealSlotTable().slot(4).number, 105);
}
