#include "SealListTable.h"

namespace talvo {

SealSlotTable& sealSlotTable()
{
    static SealSlotTable table = [] {
        SealSlotTable initial;
        initial.reset();
        return initial;
    }();
    return table;
}

} // namespace talvo
