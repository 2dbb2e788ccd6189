#pragma once

#include "key/SealSlotTable.h"

namespace talvo {

// The seal list's one table of the process: it outlives every seal list dialog.
SealSlotTable& sealSlotTable();

} // namespace talvo
