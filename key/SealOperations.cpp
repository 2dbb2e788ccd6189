#include "SealOperations.h"

#include "SealSlotTable.h"
#include "device/KeyDriverBinding.h"

namespace talvo {

int32_t readSealTable(KeyDriverBinding& binding, SealSlotTable& table)
{
    KeyInfo info{};
    const int32_t status = binding.TLKeyReadKeyInfo(&info);
    if (status == TL_OK)
        table.rebuildFrom(info);
    return status;
}

int32_t addSeal(KeyDriverBinding& binding, const char* name, const char* expiry, const uint8_t* picture,
                uint32_t length)
{
    uint32_t keyState = 0;
    const int32_t status = binding.TLKeyGetStatus(&keyState);
    if (status != TL_OK)
        return status;
    return binding.TLKeyWriteSealData(name, expiry, picture, length);
}

int32_t deleteSeal(KeyDriverBinding& binding, int32_t sealNumber)
{
    uint32_t keyState = 0;
    const int32_t status = binding.TLKeyGetStatus(&keyState);
    if (status != TL_OK)
        return status;
    return binding.TLKeyDelSealData(sealNumber);
}

int32_t writeSealTime(KeyDriverBinding& binding, int32_t sealNumber, const char* time)
{
    return binding.TLKeyWriteSealTime(sealNumber, time);
}

TwoCallRead sealPictureRead(KeyDriverBinding& binding, int32_t sealNumber)
{
    return TwoCallRead(
        [&binding, sealNumber](uint8_t* buffer, uint32_t* length) {
            return binding.TLKeyReadSealData(sealNumber, buffer, length);
        },
        TwoCallRead::kUnlimited);
}

} // namespace talvo
