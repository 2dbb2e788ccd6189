#pragma once

#include "device/DriverFunctionOrder.h"
#include "device/TalvoDriverApi.h"
#include "platform/core/DynamicLibrary.h"

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
    static constexpr auto kBoundNames = [] {
        std::array<const char*, kDriverFunctions.size()> names{};
        for (std::size_t i = 0; i < names.size(); ++i)
            names[i] = kDriverFunctions[i].name;
        return names;
    }();

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
    void bindAt(int position);
    template <class Pointer> void bind(Pointer& pointer, const char* name);
    static void traceMissing(const char* traceName);

    DynamicLibrary m_library;
    // One pointer a name, named m_pf and the name, in the list's order.
#define TALVO_BINDING_MEMBER(name, ...) PFN_##name m_pf##name = nullptr;
    TALVO_DRIVER_FUNCTIONS(TALVO_BINDING_MEMBER, TALVO_BINDING_MEMBER)
#undef TALVO_BINDING_MEMBER
};

} // namespace talvo
