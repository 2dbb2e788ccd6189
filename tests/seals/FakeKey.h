#pragma once

#include "recording/RecordingDriver.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

namespace talvo::testing {

// The seal tests' view of the recording driver's key. The test program links that driver and
// finds only it, so the binding loads this very library and both see the same key.
class FakeKey {
public:
    FakeKey();
    // True when the library the binding loads by its plain name is the recording driver.
    bool isLoaded() const;

    void reset();
    // A seal in slot k with the given number, texts as the key holds them (CP936).
    void putSeal(int slot, int32_t number, const QString& name, const std::string& expiry = {},
                 const std::string& initTime = {});
    // The entry goes into slot k as it is, whatever its number says.
    void putEntry(int slot, const SealEntry& entry);
    void putPicture(int32_t number, const QByteArray& bytes);
    // The function answers that status from now on (TL_OK clears it). "TLKeyReadSealData/buffer"
    // fails only the read that fills a buffer.
    void fail(const char* function, int32_t status);
    // The read that fills a buffer claims that many bytes more than it was given room for.
    void overReport(uint32_t extraBytes);
    // One line a call: the function's name and its arguments; a seal write shows its length
    // only, its buffers are in lastSealWrite().
    QStringList calls() const;
    void clearCalls();

    struct SealWrite {
        std::string name;   // all 35 bytes
        std::string expiry; // all 21 bytes
        uint32_t length = 0;
    };
    // The exact buffers of the last TLKeyWriteSealData since the calls were cleared.
    SealWrite lastSealWrite() const;
};

} // namespace talvo::testing
