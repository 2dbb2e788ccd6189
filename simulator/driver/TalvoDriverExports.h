#pragma once

#include "device/TalvoDriverApi.h"

// Every name the tool binds, with C linkage; the library exports these and nothing else.
#define TALVO_DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

TALVO_DRIVER_EXPORT int32_t TLShowDlg(void);
TALVO_DRIVER_EXPORT int32_t TLKeyIsExist(int32_t selector);
TALVO_DRIVER_EXPORT int32_t TLKeyInit(int32_t value, const char* text1, const char* text2);
TALVO_DRIVER_EXPORT int32_t TLKeyVerifyUserPin(const char* pin);
TALVO_DRIVER_EXPORT int32_t TLKeyLowFormat(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadSerial(char* serial, int32_t selector);
TALVO_DRIVER_EXPORT int32_t TLKeyCalcHash(const char* pin, int32_t pinLength, char* hash);
TALVO_DRIVER_EXPORT int32_t TLKeyReadHash(char* hash, int32_t selector);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteHash(const char* hash, int32_t selector);
TALVO_DRIVER_EXPORT int32_t TLKeyCheckHash(const char* pin, int32_t pinLength, uint8_t* matches);
TALVO_DRIVER_EXPORT int32_t TLKeyGetStatus(uint32_t* status);
TALVO_DRIVER_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo* info);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo info);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time);
TALVO_DRIVER_EXPORT int32_t TLKeyReadSealNum(int32_t* count);
TALVO_DRIVER_EXPORT int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data,
                                               uint32_t length);
TALVO_DRIVER_EXPORT int32_t TLKeyDelSealData(int32_t sealNumber);
TALVO_DRIVER_EXPORT int32_t TLKeyReadCert(uint8_t* cert, uint32_t* length);
TALVO_DRIVER_EXPORT int32_t TLKeyGetSignature(const char* pin, int32_t pinLength, uint8_t* signature,
                                              uint32_t* length);
TALVO_DRIVER_EXPORT int32_t TLKeyGetPublicKey(uint8_t* publicKey, uint32_t* length);
TALVO_DRIVER_EXPORT int32_t TLVerifySign(const char* pin, int32_t pinLength, const uint8_t* publicKey,
                                         uint32_t publicKeyLength, const uint8_t* signature,
                                         uint32_t signatureLength, uint8_t* verified);
TALVO_DRIVER_EXPORT int32_t TLGetCertsNumFromIE(void);
TALVO_DRIVER_EXPORT uint8_t TLRegCerts(void);
TALVO_DRIVER_EXPORT uint8_t TLRemoveAllCertsFromIE(void);
TALVO_DRIVER_EXPORT const char* TLKeyReadCspName(void);

// Bound by the tool but never called: present, doing nothing.
TALVO_DRIVER_EXPORT int32_t TLKeyReadBioFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteBioFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadFormatFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteFormatFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadInitFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteInitFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadLockFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteLockFlag(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadErrorTimes(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteErrorTimes(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadUnitId(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteUnitId(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadUserId(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteUserId(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadMode(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteMode(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteKeyInfo(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadKeyBaseInfo(void);
TALVO_DRIVER_EXPORT int32_t TLKeyReadSealTime(void);
TALVO_DRIVER_EXPORT int32_t TLReadStartTime(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteStartTime(void);
TALVO_DRIVER_EXPORT int32_t TLReadLastTime(void);
TALVO_DRIVER_EXPORT int32_t TLKeyWriteLastTime(void);
TALVO_DRIVER_EXPORT int32_t TLSetStartAndLastTime(void);
TALVO_DRIVER_EXPORT int32_t TLVerifySealTime(void);
TALVO_DRIVER_EXPORT int32_t DeviceInitEx(void);
