/* The C interface of the Talvo key driver library (libTalvoDriver.so).
 * Shared by the tool's binding and by the simulated key, so both agree on
 * every argument form and record layout. Texts are CP936 bytes, zero
 * terminated; integers are little-endian. */
#pragma once

#include "device/TalvoDriverFunctions.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t TLStatus;

enum {
    TL_OK = 0,
    TL_ERR_NO_DEVICE = 1,
    TL_ERR_ACCESS = 2,
    TL_ERR_PARAMETER = 3,
    TL_ERR_MEMORY = 4,
    TL_ERR_API = 5,
    TL_ERR_NO_SPACE = 6,
    TL_ERR_NO_USER_DEVICE = 7,
    TL_ERR_NO_ADMIN_DEVICE = 8
};

enum {
    TL_PIN_HASH_SIZE = 41,
    TL_UNIT_ID_SIZE = 41,
    TL_USER_ID_SIZE = 241,
    TL_SEAL_NAME_SIZE = 35,
    TL_SEAL_TIME_SIZE = 21,
    TL_SEAL_SPARE_SIZE = 11,
    TL_SEAL_INIT_TIME_SIZE = 11,
    TL_SEAL_SLOTS = 10,
    TL_FIRST_SEAL_NUMBER = 101,
    TL_SERIAL_BUFFER_SIZE = 100,
    TL_HASH_BUFFER_SIZE = 40
};

typedef struct KeyBaseInfo {
    uint8_t factoryFlag;
    uint8_t formatFlag;
    uint8_t initFlag;
    uint8_t lockFlag;
    int32_t errorTimes;
    int32_t mode;
    char pinHash[TL_PIN_HASH_SIZE];
    char unitId[TL_UNIT_ID_SIZE];
    char userId[TL_USER_ID_SIZE];
    uint8_t gap335;
    int32_t sealNum;
    uint8_t timeControlFlag;
    uint8_t gap341[3];
    int32_t keyRole;
} KeyBaseInfo;

typedef struct SealEntry {
    int32_t number;
    uint8_t inUse;
    char name[TL_SEAL_NAME_SIZE];
    char expiryTime[TL_SEAL_TIME_SIZE];
    char spareText[TL_SEAL_SPARE_SIZE];
    char initTime[TL_SEAL_INIT_TIME_SIZE];
    uint8_t padding;
} SealEntry;

typedef struct KeyInfo {
    KeyBaseInfo base;
    SealEntry sealTable[TL_SEAL_SLOTS];
} KeyInfo;

#ifdef __cplusplus
#define TL_STATIC_ASSERT static_assert
#else
#define TL_STATIC_ASSERT _Static_assert
#endif

TL_STATIC_ASSERT(sizeof(KeyBaseInfo) == 348, "KeyBaseInfo is 348 bytes");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, factoryFlag) == 0, "factoryFlag");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, formatFlag) == 1, "formatFlag");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, initFlag) == 2, "initFlag");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, lockFlag) == 3, "lockFlag");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, errorTimes) == 4, "errorTimes");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, mode) == 8, "mode");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, pinHash) == 12, "pinHash");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, unitId) == 53, "unitId");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, userId) == 94, "userId");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, sealNum) == 336, "sealNum");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, timeControlFlag) == 340, "timeControlFlag");
TL_STATIC_ASSERT(offsetof(KeyBaseInfo, keyRole) == 344, "keyRole");

TL_STATIC_ASSERT(sizeof(SealEntry) == 84, "SealEntry is 84 bytes");
TL_STATIC_ASSERT(offsetof(SealEntry, number) == 0, "number");
TL_STATIC_ASSERT(offsetof(SealEntry, inUse) == 4, "inUse");
TL_STATIC_ASSERT(offsetof(SealEntry, name) == 5, "name");
TL_STATIC_ASSERT(offsetof(SealEntry, expiryTime) == 40, "expiryTime");
TL_STATIC_ASSERT(offsetof(SealEntry, spareText) == 61, "spareText");
TL_STATIC_ASSERT(offsetof(SealEntry, initTime) == 72, "initTime");

TL_STATIC_ASSERT(sizeof(KeyInfo) == 1188, "KeyInfo is 1188 bytes");
TL_STATIC_ASSERT(offsetof(KeyInfo, sealTable) == 348, "sealTable");

/* The type of each driver function, PFN_ followed by its name. The ones that the tool binds
 * and never calls have no form fixed by the tool: they are taken as functions of no argument. */
#define TALVO_DRIVER_CALLED_TYPE(name, position, result, parameters, ...)                                    \
    typedef result(*PFN_##name) parameters;
#define TALVO_DRIVER_BOUND_ONLY_TYPE(name, position) typedef int32_t (*PFN_##name)(void);
TALVO_DRIVER_FUNCTIONS(TALVO_DRIVER_CALLED_TYPE, TALVO_DRIVER_BOUND_ONLY_TYPE)
#undef TALVO_DRIVER_CALLED_TYPE
#undef TALVO_DRIVER_BOUND_ONLY_TYPE

#ifdef __cplusplus
}
#endif
