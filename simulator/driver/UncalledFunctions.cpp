#include "TalvoDriverExports.h"

#define TALVO_UNCALLED(name)                                                                                 \
    int32_t name(void)                                                                                       \
    {                                                                                                        \
        return TL_OK;                                                                                        \
    }

TALVO_UNCALLED(TLKeyReadBioFlag)
TALVO_UNCALLED(TLKeyWriteBioFlag)
TALVO_UNCALLED(TLKeyReadFormatFlag)
TALVO_UNCALLED(TLKeyWriteFormatFlag)
TALVO_UNCALLED(TLKeyReadInitFlag)
TALVO_UNCALLED(TLKeyWriteInitFlag)
TALVO_UNCALLED(TLKeyReadLockFlag)
TALVO_UNCALLED(TLKeyWriteLockFlag)
TALVO_UNCALLED(TLKeyReadErrorTimes)
TALVO_UNCALLED(TLKeyWriteErrorTimes)
TALVO_UNCALLED(TLKeyReadUnitId)
TALVO_UNCALLED(TLKeyWriteUnitId)
TALVO_UNCALLED(TLKeyReadUserId)
TALVO_UNCALLED(TLKeyWriteUserId)
TALVO_UNCALLED(TLKeyReadMode)
TALVO_UNCALLED(TLKeyWriteMode)
TALVO_UNCALLED(TLKeyWriteKeyInfo)
TALVO_UNCALLED(TLKeyReadKeyBaseInfo)
TALVO_UNCALLED(TLKeyReadSealTime)
TALVO_UNCALLED(TLReadStartTime)
TALVO_UNCALLED(TLKeyWriteStartTime)
TALVO_UNCALLED(TLReadLastTime)
TALVO_UNCALLED(TLKeyWriteLastTime)
TALVO_UNCALLED(TLSetStartAndLastTime)
TALVO_UNCALLED(TLVerifySealTime)
TALVO_UNCALLED(DeviceInitEx)
