#pragma once

#include "device/TalvoDriverApi.h"

#include <cstdint>

namespace talvo {

class KeyDriverBinding;

// The reads of "查看信息" once the key is known to be there: the whole record, then the seal
// count, which replaces the record's own. 0, or the status of the first call that failed;
// the record is filled only on 0.
int32_t readBaseInformation(KeyDriverBinding& binding, KeyBaseInfo& base);

} // namespace talvo
