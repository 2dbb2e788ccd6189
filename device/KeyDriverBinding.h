#pragma once

#include "device/TalvoDriverApi.h"
#include "platform/DynamicLibrary.h"

#include <array>
#include <cstdint>

namespace talvo {

// The one object that loads the key's driver library and forwards the calls the tool makes.
// A missing library or function never reaches the driver: the operation answers as a
// missing function does (status 1, false or 0) and traces at each call.
class KeyDriverBinding {
public:
    static constexpr const char* kLibraryName = "libTalvoDriver.so";
    // The 52 names, in the order in which they are bound.
    static const std::array<const char*, 52> kBoundNames;

    KeyDriverBinding();
    virtual ~KeyDriverBinding();
    KeyDriverBinding(const KeyDriverBinding&) = delete;
    KeyDriverBinding& operator=(const KeyDriverBinding&) = delete;

    bool isLibraryLoaded() const { return m_library.isLoaded(); }
    // Why the library could not be loaded, as the dynamic loader said it.
    const std::string& loadError() const { return m_library.errorText(); }
    // How many of the 52 names the library exported.
    int boundCount() const;

    int32_t TLShowDlg();
    bool TLKeyIsExist(int32_t selector);
    int32_t TLKeyInit(int32_t value, const char* text1, const char* text2);
    int32_t TLKeyVerifyUserPin(const char* pin);
    int32_t TLKeyLowFormat();
    int32_t TLKeyReadSerial(char* serial, int32_t selector);
    int32_t TLKeyCalcHash(const char* pin, int32_t pinLength, char* hash);
    int32_t TLKeyReadHash(char* hash, int32_t selector);
    int32_t TLKeyWriteHash(const char* hash, int32_t selector);
    int32_t TLKeyCheckHash(const char* pin, int32_t pinLength, uint8_t* matches);
    int32_t TLKeyGetStatus(uint32_t* status);
    int32_t TLKeyReadKeyInfo(KeyInfo* info);
    int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo info);
    int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time);
    int32_t TLKeyReadSealNum(int32_t* count);
    int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length);
    int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data, uint32_t length);
    int32_t TLKeyDelSealData(int32_t sealNumber);
    int32_t TLKeyReadCert(uint8_t* cert, uint32_t* length);
    int32_t TLKeyGetSignature(const char* pin, int32_t pinLength, uint8_t* signature, uint32_t* length);
    int32_t TLKeyGetPublicKey(uint8_t* publicKey, uint32_t* length);
    int32_t TLVerifySign(const char* pin, int32_t pinLength, const uint8_t* publicKey,
                         uint32_t publicKeyLength, const uint8_t* signature, uint32_t signatureLength,
                         uint8_t* verified);
    int32_t TLGetCertsNumFromIE();
    bool TLRegCerts();
    bool TLRemoveAllCertsFromIE();
    // The driver's own text, or null when the function is missing or the driver gave none.
    const char* TLKeyReadCspName();

private:
    void load();
    template <class Pointer> void bind(Pointer& pointer, const char* name);
    static void traceMissing(const char* traceName);

    DynamicLibrary m_library;
    PFN_TLKeyReadCspName m_pfTLKeyReadCspName = nullptr;
    PFN_TLShowDlg m_pfTLShowDlg = nullptr;
    PFN_TLKeyIsExist m_pfTLKeyIsExist = nullptr;
    PFN_TLKeyInit m_pfTLKeyInit = nullptr;
    PFN_TLKeyVerifyUserPin m_pfTLKeyVerifyUserPin = nullptr;
    PFN_TLUncalled m_pfTLKeyReadBioFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteBioFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyReadFormatFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteFormatFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyReadInitFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteInitFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyReadLockFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteLockFlag = nullptr;
    PFN_TLUncalled m_pfTLKeyReadErrorTimes = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteErrorTimes = nullptr;
    PFN_TLKeyReadSerial m_pfTLKeyReadSerial = nullptr;
    PFN_TLKeyReadHash m_pfTLKeyReadHash = nullptr;
    PFN_TLKeyWriteHash m_pfTLKeyWriteHash = nullptr;
    PFN_TLKeyCheckHash m_pfTLKeyCheckHash = nullptr;
    PFN_TLUncalled m_pfTLKeyReadUnitId = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteUnitId = nullptr;
    PFN_TLUncalled m_pfTLKeyReadUserId = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteUserId = nullptr;
    PFN_TLKeyCalcHash m_pfTLKeyCalcHash = nullptr;
    PFN_TLUncalled m_pfTLKeyReadMode = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteMode = nullptr;
    PFN_TLKeyReadSealNum m_pfTLKeyReadSealNum = nullptr;
    PFN_TLKeyReadKeyInfo m_pfTLKeyReadKeyInfo = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteKeyInfo = nullptr;
    PFN_TLUncalled m_pfTLKeyReadKeyBaseInfo = nullptr;
    PFN_TLKeyWriteKeyBaseInfo m_pfTLKeyWriteKeyBaseInfo = nullptr;
    PFN_TLKeyGetStatus m_pfTLKeyGetStatus = nullptr;
    PFN_TLUncalled m_pfTLKeyReadSealTime = nullptr;
    PFN_TLKeyWriteSealTime m_pfTLKeyWriteSealTime = nullptr;
    PFN_TLKeyReadCert m_pfTLKeyReadCert = nullptr;
    PFN_TLKeyReadSealData m_pfTLKeyReadSealData = nullptr;
    PFN_TLKeyWriteSealData m_pfTLKeyWriteSealData = nullptr;
    PFN_TLKeyDelSealData m_pfTLKeyDelSealData = nullptr;
    PFN_TLKeyLowFormat m_pfTLKeyLowFormat = nullptr;
    PFN_TLKeyGetSignature m_pfTLKeyGetSignature = nullptr;
    PFN_TLKeyGetPublicKey m_pfTLKeyGetPublicKey = nullptr;
    PFN_TLVerifySign m_pfTLVerifySign = nullptr;
    PFN_TLGetCertsNumFromIE m_pfTLGetCertsNumFromIE = nullptr;
    PFN_TLRegCerts m_pfTLRegCerts = nullptr;
    PFN_TLRemoveAllCertsFromIE m_pfTLRemoveAllCertsFromIE = nullptr;
    PFN_TLUncalled m_pfTLReadStartTime = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteStartTime = nullptr;
    PFN_TLUncalled m_pfTLReadLastTime = nullptr;
    PFN_TLUncalled m_pfTLKeyWriteLastTime = nullptr;
    PFN_TLUncalled m_pfTLSetStartAndLastTime = nullptr;
    PFN_TLUncalled m_pfTLVerifySealTime = nullptr;
    PFN_TLUncalled m_pfDeviceInitEx = nullptr;
};

} // namespace talvo
