#pragma once

#include "FakeDriverControl.h"
#include "platform/DynamicLibrary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace talvo::testing {

// The seal tests' own driver, reached through its control functions. The library is the one
// the binding loads (the test program finds only it), so both see the same key.
class FakeKey {
public:
    FakeKey();
    bool isLoaded() const { return m_library.isLoaded() && m_reset; }

    void reset();
    // A seal in slot k with the given number, texts as the key holds them (CP936).
    void putSeal(int slot, int32_t number, const QString& name, const std::string& expiry = {},
                 const std::string& initTime = {});
    void putEntry(int slot, const SealEntry& entry);
    void putPicture(int32_t number, const QByteArray& bytes);
    void fail(const char* function, int32_t status);
    void overReport(uint32_t extraBytes);
    QStringList calls() const;
    void clearCalls();

    struct SealWrite {
        std::string name;   // all 35 bytes
        std::string expiry; // all 21 bytes
        uint32_t length = 0;
    };
    SealWrite lastSealWrite() const;

private:
    DynamicLibrary m_library;
    PFN_FakeKeyReset m_reset = nullptr;
    PFN_FakeKeySetEntry m_setEntry = nullptr;
    PFN_FakeKeySetPicture m_setPicture = nullptr;
    PFN_FakeKeyFail m_fail = nullptr;
    PFN_FakeKeyOverReport m_overReport = nullptr;
    PFN_FakeKeyCallLog m_callLog = nullptr;
    PFN_FakeKeyClearCallLog m_clearCallLog = nullptr;
    PFN_FakeKeyLastSealWrite m_lastSealWrite = nullptr;
};

} // namespace talvo::testing
