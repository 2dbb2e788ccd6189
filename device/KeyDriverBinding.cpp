#include "KeyDriverBinding.h"

#include "platform/DebugTrace.h"

namespace talvo {

const std::array<const char*, 52> KeyDriverBinding::kBoundNames = {"TLShowDlg",
                                                                   "TLKeyIsExist",
                                                                   "TLKeyInit",
                                                                   "TLKeyVerifyUserPin",
                                                                   "TLKeyLowFormat",
                                                                   "TLKeyReadBioFlag",
                                                                   "TLKeyWriteBioFlag",
                                                                   "TLKeyReadFormatFlag",
                                                                   "TLKeyWriteFormatFlag",
                                                                   "TLKeyReadInitFlag",
                                                                   "TLKeyWriteInitFlag",
                                                                   "TLKeyReadLockFlag",
                                                                   "TLKeyWriteLockFlag",
                                                                   "TLKeyReadErrorTimes",
                                                                   "TLKeyWriteErrorTimes",
                                                                   "TLKeyReadSerial",
                                                                   "TLKeyCalcHash",
                                                                   "TLKeyReadHash",
                                                                   "TLKeyWriteHash",
                                                                   "TLKeyCheckHash",
                                                                   "TLKeyReadUnitId",
                                                                   "TLKeyWriteUnitId",
                                                                   "TLKeyReadUserId",
                                                                   "TLKeyWriteUserId",
                                                                   "TLKeyReadMode",
                                                                   "TLKeyWriteMode",
                                                                   "TLKeyGetStatus",
                                                                   "TLKeyReadKeyInfo",
                                                                   "TLKeyWriteKeyInfo",
                                                                   "TLKeyReadKeyBaseInfo",
                                                                   "TLKeyWriteKeyBaseInfo",
                                                                   "TLKeyReadSealTime",
                                                                   "TLKeyWriteSealTime",
                                                                   "TLKeyReadSealNum",
                                                                   "TLKeyReadSealData",
                                                                   "TLKeyWriteSealData",
                                                                   "TLKeyDelSealData",
                                                                   "TLKeyReadCert",
                                                                   "TLKeyGetSignature",
                                                                   "TLKeyGetPublicKey",
                                                                   "TLVerifySign",
                                                                   "TLGetCertsNumFromIE",
                                                                   "TLRegCerts",
                                                                   "TLRemoveAllCertsFromIE",
                                                                   "TLReadStartTime",
                                                                   "TLKeyWriteStartTime",
                                                                   "TLReadLastTime",
                                                                   "TLKeyWriteLastTime",
                                                                   "TLSetStartAndLastTime",
                                                                   "TLVerifySealTime",
                                                                   "TLKeyReadCspName",
                                                                   "DeviceInitEx"};

KeyDriverBinding::KeyDriverBinding()
{
    load();
}

KeyDriverBinding::~KeyDriverBinding() = default;

template <class Pointer> void KeyDriverBinding::bind(Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(m_library.symbol(name));
}

void KeyDriverBinding::load()
{
    if (!m_library.isLoaded())
        m_library = DynamicLibrary(kLibraryName);
    if (!m_library.isLoaded()) {
        debugTrace(QStringLiteral("TalvoDriver.dll加载失败......"));
        return;
    }
    bind(m_pfTLShowDlg, "TLShowDlg");
    bind(m_pfTLKeyIsExist, "TLKeyIsExist");
    bind(m_pfTLKeyInit, "TLKeyInit");
    bind(m_pfTLKeyVerifyUserPin, "TLKeyVerifyUserPin");
    bind(m_pfTLKeyLowFormat, "TLKeyLowFormat");
    bind(m_pfTLKeyReadBioFlag, "TLKeyReadBioFlag");
    bind(m_pfTLKeyWriteBioFlag, "TLKeyWriteBioFlag");
    bind(m_pfTLKeyReadFormatFlag, "TLKeyReadFormatFlag");
    bind(m_pfTLKeyWriteFormatFlag, "TLKeyWriteFormatFlag");
    bind(m_pfTLKeyReadInitFlag, "TLKeyReadInitFlag");
    bind(m_pfTLKeyWriteInitFlag, "TLKeyWriteInitFlag");
    bind(m_pfTLKeyReadLockFlag, "TLKeyReadLockFlag");
    bind(m_pfTLKeyWriteLockFlag, "TLKeyWriteLockFlag");
    bind(m_pfTLKeyReadErrorTimes, "TLKeyReadErrorTimes");
    bind(m_pfTLKeyWriteErrorTimes, "TLKeyWriteErrorTimes");
    bind(m_pfTLKeyReadSerial, "TLKeyReadSerial");
    bind(m_pfTLKeyCalcHash, "TLKeyCalcHash");
    bind(m_pfTLKeyReadHash, "TLKeyReadHash");
    bind(m_pfTLKeyWriteHash, "TLKeyWriteHash");
    bind(m_pfTLKeyCheckHash, "TLKeyCheckHash");
    bind(m_pfTLKeyReadUnitId, "TLKeyReadUnitId");
    bind(m_pfTLKeyWriteUnitId, "TLKeyWriteUnitId");
    bind(m_pfTLKeyReadUserId, "TLKeyReadUserId");
    bind(m_pfTLKeyWriteUserId, "TLKeyWriteUserId");
    bind(m_pfTLKeyReadMode, "TLKeyReadMode");
    bind(m_pfTLKeyWriteMode, "TLKeyWriteMode");
    bind(m_pfTLKeyGetStatus, "TLKeyGetStatus");
    bind(m_pfTLKeyReadKeyInfo, "TLKeyReadKeyInfo");
    bind(m_pfTLKeyWriteKeyInfo, "TLKeyWriteKeyInfo");
    bind(m_pfTLKeyReadKeyBaseInfo, "TLKeyReadKeyBaseInfo");
    bind(m_pfTLKeyWriteKeyBaseInfo, "TLKeyWriteKeyBaseInfo");
    bind(m_pfTLKeyReadSealTime, "TLKeyReadSealTime");
    bind(m_pfTLKeyWriteSealTime, "TLKeyWriteSealTime");
    bind(m_pfTLKeyReadSealNum, "TLKeyReadSealNum");
    bind(m_pfTLKeyReadSealData, "TLKeyReadSealData");
    bind(m_pfTLKeyWriteSealData, "TLKeyWriteSealData");
    bind(m_pfTLKeyDelSealData, "TLKeyDelSealData");
    bind(m_pfTLKeyReadCert, "TLKeyReadCert");
    bind(m_pfTLKeyGetSignature, "TLKeyGetSignature");
    bind(m_pfTLKeyGetPublicKey, "TLKeyGetPublicKey");
    bind(m_pfTLVerifySign, "TLVerifySign");
    bind(m_pfTLGetCertsNumFromIE, "TLGetCertsNumFromIE");
    bind(m_pfTLRegCerts, "TLRegCerts");
    bind(m_pfTLRemoveAllCertsFromIE, "TLRemoveAllCertsFromIE");
    bind(m_pfTLReadStartTime, "TLReadStartTime");
    bind(m_pfTLKeyWriteStartTime, "TLKeyWriteStartTime");
    bind(m_pfTLReadLastTime, "TLReadLastTime");
    bind(m_pfTLKeyWriteLastTime, "TLKeyWriteLastTime");
    bind(m_pfTLSetStartAndLastTime, "TLSetStartAndLastTime");
    bind(m_pfTLVerifySealTime, "TLVerifySealTime");
    bind(m_pfTLKeyReadCspName, "TLKeyReadCspName");
    bind(m_pfDeviceInitEx, "DeviceInitEx");
}

int KeyDriverBinding::boundCount() const
{
    int count = 0;
    for (const char* name : kBoundNames)
        count += m_library.symbol(name) ? 1 : 0;
    return count;
}

void KeyDriverBinding::traceMissing(const char* traceName)
{
    debugTrace(QString::fromUtf8(traceName) + QStringLiteral("函数获取失败......"));
}

int32_t KeyDriverBinding::TLShowDlg()
{
    return m_pfTLShowDlg ? m_pfTLShowDlg() : 0;
}

bool KeyDriverBinding::TLKeyIsExist(int32_t selector)
{
    if (!m_pfTLKeyIsExist) {
        traceMissing("TLKeyIsExist");
        return false;
    }
    return m_pfTLKeyIsExist(selector) == 0;
}

#define TALVO_FORWARD(name, trace, ...)                                                                      \
    if (!m_pf##name) {                                                                                       \
        traceMissing(trace);                                                                                 \
        return TL_ERR_NO_DEVICE;                                                                             \
    }                                                                                                        \
    return m_pf##name(__VA_ARGS__)

int32_t KeyDriverBinding::TLKeyInit(int32_t value, const char* text1, const char* text2)
{
    TALVO_FORWARD(TLKeyInit, "TLKeyInit", value, text1, text2);
}

int32_t KeyDriverBinding::TLKeyVerifyUserPin(const char* pin)
{
    TALVO_FORWARD(TLKeyVerifyUserPin, "TLKeyVerifyUserPin", pin);
}

int32_t KeyDriverBinding::TLKeyLowFormat()
{
    TALVO_FORWARD(TLKeyLowFormat, "TLKeyLowFormat");
}

int32_t KeyDriverBinding::TLKeyReadSerial(char* serial, int32_t selector)
{
    TALVO_FORWARD(TLKeyReadSerial, "TLKeyReadSerial", serial, selector);
}

int32_t KeyDriverBinding::TLKeyCalcHash(const char* pin, int32_t pinLength, char* hash)
{
    TALVO_FORWARD(TLKeyCalcHash, "TLKeyCalcHash", pin, pinLength, hash);
}

int32_t KeyDriverBinding::TLKeyReadHash(char* hash, int32_t selector)
{
    TALVO_FORWARD(TLKeyReadHash, "TLKeyReadHash", hash, selector);
}

int32_t KeyDriverBinding::TLKeyWriteHash(const char* hash, int32_t selector)
{
    TALVO_FORWARD(TLKeyWriteHash, "TLKeyWriteHash", hash, selector);
}

int32_t KeyDriverBinding::TLKeyCheckHash(const char* pin, int32_t pinLength, uint8_t* matches)
{
    TALVO_FORWARD(TLKeyCheckHash, "TLKeyCheckHash", pin, pinLength, matches);
}

int32_t KeyDriverBinding::TLKeyGetStatus(uint32_t* status)
{
    TALVO_FORWARD(TLKeyGetStatus, "TLKeyGetStatus", status);
}

int32_t KeyDriverBinding::TLKeyReadKeyInfo(KeyInfo* info)
{
    TALVO_FORWARD(TLKeyReadKeyInfo, "TLKeyReadKeyInfo", info);
}

int32_t KeyDriverBinding::TLKeyWriteKeyBaseInfo(KeyBaseInfo info)
{
    TALVO_FORWARD(TLKeyWriteKeyBaseInfo, "TLKeyWriteKeyBaseInfo", info);
}

int32_t KeyDriverBinding::TLKeyWriteSealTime(int32_t sealNumber, const char* time)
{
    TALVO_FORWARD(TLKeyWriteSealTime, "TLKeyWriteSealTime", sealNumber, time);
}

int32_t KeyDriverBinding::TLKeyReadSealNum(int32_t* count)
{
    TALVO_FORWARD(TLKeyReadSealNum, "TLKeyReadSealNum", count);
}

int32_t KeyDriverBinding::TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length)
{
    TALVO_FORWARD(TLKeyReadSealData, "TLKeyReadSealData", sealNumber, data, length);
}

int32_t KeyDriverBinding::TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data,
                                             uint32_t length)
{
    TALVO_FORWARD(TLKeyWriteSealData, "TLKeyWriteSealData", name, expiry, data, length);
}

int32_t KeyDriverBinding::TLKeyDelSealData(int32_t sealNumber)
{
    TALVO_FORWARD(TLKeyDelSealData, "TLKeyDelSealData", sealNumber);
}

int32_t KeyDriverBinding::TLKeyReadCert(uint8_t* cert, uint32_t* length)
{
    TALVO_FORWARD(TLKeyReadCert, "TLKeyReadCert", cert, length);
}

int32_t KeyDriverBinding::TLKeyGetSignature(const char* pin, int32_t pinLength, uint8_t* signature,
                                            uint32_t* length)
{
    TALVO_FORWARD(TLKeyGetSignature, "TLKeyGetSignature", pin, pinLength, signature, length);
}

int32_t KeyDriverBinding::TLKeyGetPublicKey(uint8_t* publicKey, uint32_t* length)
{
    // The original traced this one under a shortened name.
    TALVO_FORWARD(TLKeyGetPublicKey, "GetPublicKey", publicKey, length);
}

int32_t KeyDriverBinding::TLVerifySign(const char* pin, int32_t pinLength, const uint8_t* publicKey,
                                       uint32_t publicKeyLength, const uint8_t* signature,
                                       uint32_t signatureLength, uint8_t* verified)
{
    // ...and this one under its member's name.
    TALVO_FORWARD(TLVerifySign, "m_pfTLVerifySign", pin, pinLength, publicKey, publicKeyLength, signature,
                  signatureLength, verified);
}

#undef TALVO_FORWARD

int32_t KeyDriverBinding::TLGetCertsNumFromIE()
{
    return m_pfTLGetCertsNumFromIE ? m_pfTLGetCertsNumFromIE() : 0;
}

bool KeyDriverBinding::TLRegCerts()
{
    return m_pfTLRegCerts ? m_pfTLRegCerts() != 0 : false;
}

bool KeyDriverBinding::TLRemoveAllCertsFromIE()
{
    return m_pfTLRemoveAllCertsFromIE ? m_pfTLRemoveAllCertsFromIE() != 0 : false;
}

const char* KeyDriverBinding::TLKeyReadCspName()
{
    return m_pfTLKeyReadCspName ? m_pfTLKeyReadCspName() : nullptr;
}

} // namespace talvo
