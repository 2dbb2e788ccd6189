#include "BaseRecord.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"

#include <cstring>

namespace talvo {

bool keyPresent(KeyDriverBinding& binding)
{
    return binding.TLKeyIsExist(kDeviceSelector);
}

int32_t readKeyRecord(KeyDriverBinding& binding, KeyInfo& info)
{
    std::memset(&info, 0, sizeof info);
    return binding.TLKeyReadKeyInfo(&info);
}

int32_t readBaseInformation(KeyDriverBinding& binding, KeyBaseInfo& base)
{
    KeyInfo info;
    int32_t status = readKeyRecord(binding, info);
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

int32_t writeBaseRecord(KeyDriverBinding& binding, const KeyBaseInfo& base)
{
    return binding.TLKeyWriteKeyBaseInfo(base);
}

} // namespace talvo
