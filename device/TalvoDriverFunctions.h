/* The 52 names of the Talvo key driver library, written once. Everything that names them is
 * made from this list: the function types, the binding's members (in this order) and its
 * binding order, the simulated key's exports and the test drivers' declarations.
 *
 * TALVO_DRIVER_FUNCTIONS(CALLED, BOUND_ONLY) expands
 *   CALLED(name, position, result, parameters)   for each function the tool calls,
 *   BOUND_ONLY(name, position)                   for each that it binds and never calls,
 * in the order in which the binding declares its members; position is the place (1..52) at
 * which the binding looks the name up. */
#pragma once

/* clang-format off */
#define TALVO_DRIVER_FUNCTIONS(CALLED, BOUND_ONLY)                                                       \
    CALLED(TLKeyReadCspName, 51, const char*, (void))                                                    \
    CALLED(TLShowDlg, 1, int32_t, (void))                                                                \
    CALLED(TLKeyIsExist, 2, int32_t, (int32_t selector))                                                 \
    CALLED(TLKeyInit, 3, int32_t, (int32_t value, const char* text1, const char* text2))                 \
    CALLED(TLKeyVerifyUserPin, 4, int32_t, (const char* pin))                                            \
    BOUND_ONLY(TLKeyReadBioFlag, 6)                                                                      \
    BOUND_ONLY(TLKeyWriteBioFlag, 7)                                                                     \
    BOUND_ONLY(TLKeyReadFormatFlag, 8)                                                                   \
    BOUND_ONLY(TLKeyWriteFormatFlag, 9)                                                                  \
    BOUND_ONLY(TLKeyReadInitFlag, 10)                                                                    \
    BOUND_ONLY(TLKeyWriteInitFlag, 11)                                                                   \
    BOUND_ONLY(TLKeyReadLockFlag, 12)                                                                    \
    BOUND_ONLY(TLKeyWriteLockFlag, 13)                                                                   \
    BOUND_ONLY(TLKeyReadErrorTimes, 14)                                                                  \
    BOUND_ONLY(TLKeyWriteErrorTimes, 15)                                                                 \
    CALLED(TLKeyReadSerial, 16, int32_t, (char* serial, int32_t selector))                               \
    CALLED(TLKeyReadHash, 18, int32_t, (char* hash, int32_t selector))                                   \
    CALLED(TLKeyWriteHash, 19, int32_t, (const char* hash, int32_t selector))                            \
    CALLED(TLKeyCheckHash, 20, int32_t, (const char* pin, int32_t pinLength, uint8_t* matches))          \
    BOUND_ONLY(TLKeyReadUnitId, 21)                                                                      \
    BOUND_ONLY(TLKeyWriteUnitId, 22)                                                                     \
    BOUND_ONLY(TLKeyReadUserId, 23)                                                                      \
    BOUND_ONLY(TLKeyWriteUserId, 24)                                                                     \
    CALLED(TLKeyCalcHash, 17, int32_t, (const char* pin, int32_t pinLength, char* hash))                 \
    BOUND_ONLY(TLKeyReadMode, 25)                                                                        \
    BOUND_ONLY(TLKeyWriteMode, 26)                                                                       \
    CALLED(TLKeyReadSealNum, 34, int32_t, (int32_t* count))                                              \
    CALLED(TLKeyReadKeyInfo, 28, int32_t, (KeyInfo* info))                                               \
    BOUND_ONLY(TLKeyWriteKeyInfo, 29)                                                                    \
    BOUND_ONLY(TLKeyReadKeyBaseInfo, 30)                                                                 \
    CALLED(TLKeyWriteKeyBaseInfo, 31, int32_t, (KeyBaseInfo info))                                       \
    CALLED(TLKeyGetStatus, 27, int32_t, (uint32_t* status))                                              \
    BOUND_ONLY(TLKeyReadSealTime, 32)                                                                    \
    CALLED(TLKeyWriteSealTime, 33, int32_t, (int32_t sealNumber, const char* time))                      \
    CALLED(TLKeyReadCert, 38, int32_t, (uint8_t* cert, uint32_t* length))                                \
    CALLED(TLKeyReadSealData, 35, int32_t, (int32_t sealNumber, uint8_t* data, uint32_t* length))        \
    CALLED(TLKeyWriteSealData, 36, int32_t,                                                              \
           (const char* name, const char* expiry, const uint8_t* data, uint32_t length))                 \
    CALLED(TLKeyDelSealData, 37, int32_t, (int32_t sealNumber))                                          \
    CALLED(TLKeyLowFormat, 5, int32_t, (void))                                                           \
    CALLED(TLKeyGetSignature, 39, int32_t,                                                               \
           (const char* pin, int32_t pinLength, uint8_t* signature, uint32_t* length))                   \
    CALLED(TLKeyGetPublicKey, 40, int32_t, (uint8_t* publicKey, uint32_t* length))                       \
    CALLED(TLVerifySign, 41, int32_t,                                                                    \
           (const char* pin, int32_t pinLength, const uint8_t* publicKey, uint32_t publicKeyLength,      \
            const uint8_t* signature, uint32_t signatureLength, uint8_t* verified))                      \
    CALLED(TLGetCertsNumFromIE, 42, int32_t, (void))                                                     \
    CALLED(TLRegCerts, 43, uint8_t, (void))                                                              \
    CALLED(TLRemoveAllCertsFromIE, 44, uint8_t, (void))                                                  \
    BOUND_ONLY(TLReadStartTime, 45)                                                                      \
    BOUND_ONLY(TLKeyWriteStartTime, 46)                                                                  \
    BOUND_ONLY(TLReadLastTime, 47)                                                                       \
    BOUND_ONLY(TLKeyWriteLastTime, 48)                                                                   \
    BOUND_ONLY(TLSetStartAndLastTime, 49)                                                                \
    BOUND_ONLY(TLVerifySealTime, 50)                                                                     \
    BOUND_ONLY(DeviceInitEx, 52)
/* clang-format on */

/* Ignores an entry; for a use that takes only one of the two kinds. */
#define TALVO_DRIVER_SKIP(...)
