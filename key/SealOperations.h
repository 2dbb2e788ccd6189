#pragma once

#include "TwoCallRead.h"

#include <cstdint>

namespace talvo {

class KeyDriverBinding;
class SealSlotTable;

// Each returns the driver's status: 0, or that of the first call that failed.

// The key's record read again and the table rebuilt from it; the table stays as it was when
// the read fails.
int32_t readSealTable(KeyDriverBinding& binding, SealSlotTable& table);

// A new seal (name and expiry as the key's fixed fields, terminated): the key's state first,
// then the seal; the key chooses its slot.
int32_t addSeal(KeyDriverBinding& binding, const char* name, const char* expiry, const uint8_t* picture,
                uint32_t length);

// The key's state first, then the seal removed.
int32_t deleteSeal(KeyDriverBinding& binding, int32_t sealNumber);

int32_t writeSealTime(KeyDriverBinding& binding, int32_t sealNumber, const char* time);

// The read of a seal's picture (TLKeyReadSealData), however large: readUnlessEmpty takes it,
// and an empty length is the key's fault, not an empty picture.
TwoCallRead sealPictureRead(KeyDriverBinding& binding, int32_t sealNumber);

} // namespace talvo
