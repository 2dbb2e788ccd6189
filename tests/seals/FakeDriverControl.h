/* The control side of the seal tests' own driver library: a key in memory whose every
 * answer a test can set, including the faults a real key does not make. */
#pragma once

#include "device/TalvoDriverApi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Empties the key: ten free slots numbered 101..110, no pictures, no faults, no calls. */
void FakeKeyReset(void);
/* Puts the entry into slot k as it is, whatever its number says. */
void FakeKeySetEntry(int32_t slot, const SealEntry* entry);
void FakeKeySetPicture(int32_t sealNumber, const uint8_t* data, uint32_t length);
/* The function answers that status from now on (0 clears it). */
void FakeKeyFail(const char* function, int32_t status);
/* The second read of a picture claims that many bytes more than it was given room for. */
void FakeKeyOverReport(uint32_t extraBytes);
/* One line a call: the function's name and its telling arguments. */
const char* FakeKeyCallLog(void);
void FakeKeyClearCallLog(void);
/* The exact buffers the last TLKeyWriteSealData received. */
void FakeKeyLastSealWrite(char name[TL_SEAL_NAME_SIZE], char expiry[TL_SEAL_TIME_SIZE], uint32_t* length);

typedef void (*PFN_FakeKeyReset)(void);
typedef void (*PFN_FakeKeySetEntry)(int32_t, const SealEntry*);
typedef void (*PFN_FakeKeySetPicture)(int32_t, const uint8_t*, uint32_t);
typedef void (*PFN_FakeKeyFail)(const char*, int32_t);
typedef void (*PFN_FakeKeyOverReport)(uint32_t);
typedef const char* (*PFN_FakeKeyCallLog)(void);
typedef void (*PFN_FakeKeyClearCallLog)(void);
typedef void (*PFN_FakeKeyLastSealWrite)(char*, char*, uint32_t*);

#ifdef __cplusplus
}
#endif
