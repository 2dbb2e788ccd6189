/* The 52 names of the Talvo key driver library, written once. Everything that names them is
 * made from this list: the function types, the binding's members (in this order) and its
 * binding order, the simulated key's exports and the test drivers' declarations.
 *
 * TALVO_DRIVER_FUNCTIONS(CALLED, BOUND_ONLY) expands
 *   CALLED(name, position, result, parameters, arguments, trace, missing, seen)
 *       for each function the tool calls,
 *   BOUND_ONLY(name, position)
 *       for each that it binds and never calls,
 * in the order in which the binding declares its members; position is the place (1..52) at
 * which the binding looks the name up. The binding's forwarder passes the arguments on and
 * answers seen(result); without the function it traces "<trace>函数获取失败......" (nothing
 * for a null trace) and answers missing. */
#pragma once

/* clang-format off */
#define TALVO_DRIVER_FUNCTIONS(CALLED, BOUND_ONLY)                                                       \
    CALLED(TLKeyReadCspName, 51, const char*, (void), (), nullptr, nullptr, asIs)                        \
    CALLED(TLShowDlg, 1, int32_t, (void), (), nullptr, 0, asIs)                                          \
    CALLED(TLKeyIsExist, 2, int32_t, (int32_t selector), (selector), "TLKeyIsExist", false, isZero)      \
    CALLED(TLKeyInit, 3, int32_t, (int32_t value, const char* text1, const char* text2),                 \
           (value, text1, text2), "TLKeyInit", TL_ERR_NO_DEVICE, asIs)                                   \
    CALLED(TLKeyVerifyUserPin, 4, int32_t, (const char* pin), (pin), "TLKeyVerifyUserPin",               \
           TL_ERR_NO_DEVICE, asIs)                                                                       \
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
    CALLED(TLKeyReadSerial, 16, int32_t, (char* serial, int32_t selector), (serial, selector),           \
           "TLKeyReadSerial", TL_ERR_NO_DEVICE, asIs)                                                    \
    CALLED(TLKeyReadHash, 18, int32_t, (char* hash, int32_t selector), (hash, selector),                 \
           "TLKeyReadHash", TL_ERR_NO_DEVICE, asIs)                                                      \
    CALLED(TLKeyWriteHash, 19, int32_t, (const char* hash, int32_t selector), (hash, selector),          \
           "TLKeyWriteHash", TL_ERR_NO_DEVICE, asIs)                                                     \
    CALLED(TLKeyCheckHash, 20, int32_t, (const char* pin, int32_t pinLength, uint8_t* matches),          \
           (pin, pinLength, matches), "TLKeyCheckHash", TL_ERR_NO_DEVICE, asIs)                          \
    BOUND_ONLY(TLKeyReadUnitId, 21)                                                                      \
    BOUND_ONLY(TLKeyWriteUnitId, 22)                                                                     \
    BOUND_ONLY(TLKeyReadUserId, 23)                                                                      \
    BOUND_ONLY(TLKeyWriteUserId, 24)                                                                     \
    CALLED(TLKeyCalcHash, 17, int32_t, (const char* pin, int32_t pinLength, char* hash),                 \
           (pin, pinLength, hash), "TLKeyCalcHash", TL_ERR_NO_DEVICE, asIs)                              \
    BOUND_ONLY(TLKeyReadMode, 25)                                                                        \
    BOUND_ONLY(TLKeyWriteMode, 26)                                                                       \
    CALLED(TLKeyReadSealNum, 34, int32_t, (int32_t* count), (count), "TLKeyReadSealNum",                 \
           TL_ERR_NO_DEVICE, asIs)                                                                       \
    CALLED(TLKeyReadKeyInfo, 28, int32_t, (KeyInfo* info), (info), "TLKeyReadKeyInfo", TL_ERR_NO_DEVICE, \
           asIs)                                                                                         \
    BOUND_ONLY(TLKeyWriteKeyInfo, 29)                                                                    \
    BOUND_ONLY(TLKeyReadKeyBaseInfo, 30)                                                                 \
    CALLED(TLKeyWriteKeyBaseInfo, 31, int32_t, (KeyBaseInfo info), (info), "TLKeyWriteKeyBaseInfo",      \
           TL_ERR_NO_DEVICE, asIs)                                                                       \
    CALLED(TLKeyGetStatus, 27, int32_t, (uint32_t* status), (status), "TLKeyGetStatus",                  \
           TL_ERR_NO_DEVICE, asIs)                                                                       \
    BOUND_ONLY(TLKeyReadSealTime, 32)                                                                    \
    CALLED(TLKeyWriteSealTime, 33, int32_t, (int32_t sealNumber, const char* time), (sealNumber, time),  \
           "TLKeyWriteSealTime", TL_ERR_NO_DEVICE, asIs)                                                 \
    CALLED(TLKeyReadCert, 38, int32_t, (uint8_t* cert, uint32_t* length), (cert, length),                \
           "TLKeyReadCert", TL_ERR_NO_DEVICE, asIs)                                                      \
    CALLED(TLKeyReadSealData, 35, int32_t, (int32_t sealNumber, uint8_t* data, uint32_t* length),        \
           (sealNumber, data, length), "TLKeyReadSealData", TL_ERR_NO_DEVICE, asIs)                      \
    CALLED(TLKeyWriteSealData, 36, int32_t,                                                              \
           (const char* name, const char* expiry, const uint8_t* data, uint32_t length),                 \
           (name, expiry, data, length), "TLKeyWriteSealData", TL_ERR_NO_DEVICE, asIs)                   \
    CALLED(TLKeyDelSealData, 37, int32_t, (int32_t sealNumber), (sealNumber), "TLKeyDelSealData",        \
           TL_ERR_NO_DEVICE, asIs)                                                                       \
    CALLED(TLKeyLowFormat, 5, int32_t, (void), (), "TLKeyLowFormat", TL_ERR_NO_DEVICE, asIs)             \
    CALLED(TLKeyGetSignature, 39, int32_t,                                                               \
           (const char* pin, int32_t pinLength, uint8_t* signature, uint32_t* length),                   \
           (pin, pinLength, signature, length), "TLKeyGetSignature", TL_ERR_NO_DEVICE, asIs)             \
    CALLED(TLKeyGetPublicKey, 40, int32_t, (uint8_t* publicKey, uint32_t* length), (publicKey, length),  \
           "GetPublicKey", TL_ERR_NO_DEVICE, asIs)                                                       \
    CALLED(TLVerifySign, 41, int32_t,                                                                    \
           (const char* pin, int32_t pinLength, const uint8_t* publicKey, uint32_t publicKeyLength,      \
            const uint8_t* signature, uint32_t signatureLength, uint8_t* verified),                      \
           (pin, pinLength, publicKey, publicKeyLength, signature, signatureLength, verified),           \
           "m_pfTLVerifySign", TL_ERR_NO_DEVICE, asIs)                                                   \
    CALLED(TLGetCertsNumFromIE, 42, int32_t, (void), (), nullptr, 0, asIs)                               \
    CALLED(TLRegCerts, 43, uint8_t, (void), (), nullptr, false, isNonZero)                               \
    CALLED(TLRemoveAllCertsFromIE, 44, uint8_t, (void), (), nullptr, false, isNonZero)                   \
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
