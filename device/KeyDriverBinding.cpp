#include "KeyDriverBinding.h"

#include "platform/core/DebugTrace.h"

namespace talvo {

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
    for (const DriverFunction& function : kDriverFunctions)
        bindAt(function.position);
}

void KeyDriverBinding::bindAt(int position)
{
    switch (position) {
#define TALVO_BIND_AT(name, place, ...)                                                                      \
    case place:                                                                                              \
        bind(m_pf##name, #name);                                                                             \
        break;
        TALVO_DRIVER_FUNCTIONS(TALVO_BIND_AT, TALVO_BIND_AT)
#undef TALVO_BIND_AT
    default:
        break;
    }
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
