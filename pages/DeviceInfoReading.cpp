#include "DeviceInfoReading.h"

#include "device/KeyDriverBinding.h"

#include <cstring>

namespace talvo {

int32_t readBaseInformation(KeyDriverBinding& binding, KeyBaseInfo& base)
{
    KeyInfo info;
    std::memset(&info, 0, sizeof info);
    int32_t status = binding.TLKeyReadKeyInfo(&info);
    if (status != TL_OK)
        return status;
    int32_t sealCount = 0;
    status = binding.TLKeyReadSealNum(&sealCount);
    if (status != TL_OK)
        return status;
    info.base.sealNum = sealCount;
    base = info.base;
    return TL_OK;
}

} // namespace talvo
