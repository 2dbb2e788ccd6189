#pragma once

#include "device/TalvoDriverApi.h"

#include <cstdint>

namespace talvo {

class KeyDriverBinding;

// Whether the key answers on the device the tool works with.
bool keyPresent(KeyDriverBinding& binding);

// The key's whole record, read into a zero-filled one: the driver's status.
int32_t readKeyRecord(KeyDriverBinding& binding, KeyInfo& info);

// The reads of "查看信息" once the key is known to be there: the whole record, then the seal
// count, which replaces the record's own. 0, or the status of the first call that failed;
// the record is filled only on 0.
int32_t readBaseInformation(KeyDriverBinding& binding, KeyBaseInfo& base);

// Writes the base record as it stands: the driver's status.
int32_t writeBaseRecord(KeyDriverBinding& binding, const KeyBaseInfo& base);

} // namespace talvo
