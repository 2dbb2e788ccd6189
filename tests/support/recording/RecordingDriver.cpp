#include "RecordingDriver.h"

#include "device/TalvoDriverExports.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace talvo::testing {

RecordingDriver& recordingDriver()
{
    static RecordingDriver driver;
    return driver;
}

std::string recordingHash(const std::string& bytes)
{
    // Two FNV-1a passes with different offsets: deterministic and distinct enough for tests.
    uint64_t first = 0xcbf29ce484222325ULL;
    uint64_t second = 0x84222325cbf29ce4ULL;
    for (unsigned char byte : bytes) {
        first = (first ^ byte) * 0x100000001b3ULL;
        second = (second ^ byte) * 0x100000001b3ULL;
    }
    char text[33] = {};
    std::snprintf(text, sizeof text, "%016llX%016llX", static_cast<unsigned long long>(first),
                  static_cast<unsigned long long>(second));
    return text;
}

} // namespace talvo::testing

namespace {

using talvo::testing::recordingDriver;

void record(const char* name, std::vector<std::string> arguments = {})
{
    recordingDriver().calls.push_back({name, std::move(arguments)});
}

// The status a function was told to answer with, if any.
int32_t injected(const char* name)
{
    const auto& failures = recordingDriver().failures;
    const auto found = failures.find(name);
    return found == failures.end() ? 0 : found->second;
}

std::string text(const char* bytes, std::size_t length)
{
    return bytes ? std::string(bytes, length) : std::string();
}

std::string bytesText(const uint8_t* bytes, uint32_t length)
{
    return text(reinterpret_cast<const char*>(bytes), length);
}

// The two-call form as the test set it up; the call is recorded with "null" or "buffer" and
// the length that came in.
int32_t deliver(const char* name, std::vector<std::string> arguments, const talvo::testing::TwoCallData& data,
                uint8_t* buffer, uint32_t* length)
{
    arguments.push_back(buffer ? "buffer" : "null");
    arguments.push_back(length ? std::to_string(*length) : "no length");
    record(name, std::move(arguments));
    if (const int32_t status = injected(name))
        return status;
    // A fault of the second call alone: the length was read, the bytes were not.
    if (const int32_t status = buffer ? injected((std::string(name) + "/buffer").c_str()) : 0)
        return status;
    if (!length)
        return TL_ERR_PARAMETER;
    if (!buffer) {
        *length = data.announcedLength.value_or(static_cast<uint32_t>(data.bytes.size()));
        return TL_OK;
    }
    const std::size_t copied = std::min<std::size_t>(data.bytes.size(), *length);
    std::memcpy(buffer, data.bytes.data(), copied);
    *length = data.deliveredLength.value_or(static_cast<uint32_t>(copied));
    return TL_OK;
}

} // namespace

TALVO_DRIVER_EXPORT int32_t TLShowDlg()
{
    record("TLShowDlg");
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyIsExist(int32_t selector)
{
    record("TLKeyIsExist", {std::to_string(selector)});
    if (const int32_t status = injected("TLKeyIsExist"))
        return status;
    return recordingDriver().present ? 0 : 1;
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadSerial(char* serial, int32_t selector)
{
    record("TLKeyReadSerial", {std::to_string(selector)});
    if (const int32_t status = injected("TLKeyReadSerial"))
        return status;
    const std::string& bytes = recordingDriver().serial;
    std::memcpy(serial, bytes.data(), std::min<std::size_t>(bytes.size(), TL_SERIAL_BUFFER_SIZE));
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyInit(int32_t value, const char* text1, const char* text2)
{
    // Texts read as a C driver would: up to their terminator.
    record("TLKeyInit", {std::to_string(value), text1 ? text1 : "", text2 ? text2 : ""});
    return injected("TLKeyInit");
}

TALVO_DRIVER_EXPORT int32_t TLKeyVerifyUserPin(const char* pin)
{
    const std::string typed = pin ? pin : "";
    record("TLKeyVerifyUserPin", {typed});
    if (const int32_t status = injected("TLKeyVerifyUserPin"))
        return status;
    return talvo::testing::recordingHash(typed) == recordingDriver().storedHash ? 0 : 5;
}

TALVO_DRIVER_EXPORT int32_t TLKeyLowFormat()
{
    record("TLKeyLowFormat");
    return injected("TLKeyLowFormat");
}

TALVO_DRIVER_EXPORT int32_t TLKeyCalcHash(const char* pin, int32_t pinLength, char* hash)
{
    const std::string bytes = text(pin, pinLength > 0 ? static_cast<std::size_t>(pinLength) : 0);
    record("TLKeyCalcHash", {bytes, std::to_string(pinLength)});
    if (const int32_t status = injected("TLKeyCalcHash"))
        return status;
    const auto& driver = recordingDriver();
    const std::string result =
        driver.calcHashBytes ? *driver.calcHashBytes : talvo::testing::recordingHash(bytes);
    std::memcpy(hash, result.data(), std::min<std::size_t>(result.size(), TL_HASH_BUFFER_SIZE));
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadHash(char* hash, int32_t selector)
{
    record("TLKeyReadHash", {std::to_string(selector)});
    if (const int32_t status = injected("TLKeyReadHash"))
        return status;
    const auto& driver = recordingDriver();
    const std::string result = driver.readHashBytes ? *driver.readHashBytes : driver.storedHash;
    std::memcpy(hash, result.data(), std::min<std::size_t>(result.size(), TL_HASH_BUFFER_SIZE));
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyWriteHash(const char* hash, int32_t selector)
{
    // strlen on purpose: an unterminated buffer from the caller shows up under the sanitizer.
    const std::string written = hash ? std::string(hash, std::strlen(hash)) : std::string();
    record("TLKeyWriteHash", {written, std::to_string(selector)});
    if (const int32_t status = injected("TLKeyWriteHash"))
        return status;
    recordingDriver().storedHash = written;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyCheckHash(const char* pin, int32_t pinLength, uint8_t* matches)
{
    const std::string bytes = text(pin, pinLength > 0 ? static_cast<std::size_t>(pinLength) : 0);
    record("TLKeyCheckHash", {bytes, std::to_string(pinLength)});
    // The flag is set even when a failure is injected: a failing status alone must refuse.
    *matches = talvo::testing::recordingHash(bytes) == recordingDriver().storedHash ? 1 : 0;
    return injected("TLKeyCheckHash");
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo* info)
{
    record("TLKeyReadKeyInfo");
    if (const int32_t status = injected("TLKeyReadKeyInfo"))
        return status;
    *info = recordingDriver().keyInfo;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyWriteKeyBaseInfo(KeyBaseInfo info)
{
    record("TLKeyWriteKeyBaseInfo", {std::string(reinterpret_cast<const char*>(&info), sizeof info)});
    if (const int32_t status = injected("TLKeyWriteKeyBaseInfo"))
        return status;
    recordingDriver().keyInfo.base = info;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadSealNum(int32_t* count)
{
    record("TLKeyReadSealNum");
    if (const int32_t status = injected("TLKeyReadSealNum"))
        return status;
    *count = recordingDriver().sealCount;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLGetCertsNumFromIE()
{
    record("TLGetCertsNumFromIE");
    return recordingDriver().certificateCount;
}

TALVO_DRIVER_EXPORT uint8_t TLRegCerts()
{
    record("TLRegCerts");
    recordingDriver().certificateCount = 1;
    return 1;
}

TALVO_DRIVER_EXPORT uint8_t TLRemoveAllCertsFromIE()
{
    record("TLRemoveAllCertsFromIE");
    recordingDriver().certificateCount = 0;
    return 1;
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadCert(uint8_t* cert, uint32_t* length)
{
    return deliver("TLKeyReadCert", {}, recordingDriver().certificate, cert, length);
}

TALVO_DRIVER_EXPORT int32_t TLKeyGetSignature(const char* pin, int32_t pinLength, uint8_t* signature,
                                              uint32_t* length)
{
    const std::string bytes = text(pin, pinLength > 0 ? static_cast<std::size_t>(pinLength) : 0);
    return deliver("TLKeyGetSignature", {bytes, std::to_string(pinLength)}, recordingDriver().signature,
                   signature, length);
}

TALVO_DRIVER_EXPORT int32_t TLKeyGetPublicKey(uint8_t* publicKey, uint32_t* length)
{
    return deliver("TLKeyGetPublicKey", {}, recordingDriver().publicKey, publicKey, length);
}

// Verifies exactly when it is given the fixed PIN, the public key and the signature that it
// handed out, each in its own place: arguments in another order fail.
TALVO_DRIVER_EXPORT int32_t TLVerifySign(const char* pin, int32_t pinLength, const uint8_t* publicKey,
                                         uint32_t publicKeyLength, const uint8_t* signature,
                                         uint32_t signatureLength, uint8_t* verified)
{
    const std::string pinBytes = text(pin, pinLength > 0 ? static_cast<std::size_t>(pinLength) : 0);
    const std::string key = bytesText(publicKey, publicKeyLength);
    const std::string sig = bytesText(signature, signatureLength);
    record("TLVerifySign",
           {pinBytes, std::to_string(pinLength), key, std::to_string(publicKeyLength), sig,
            std::to_string(signatureLength), verified ? std::to_string(*verified) : "no flag"});
    if (const int32_t status = injected("TLVerifySign"))
        return status;
    const auto& driver = recordingDriver();
    if (verified)
        *verified =
            pinBytes == "730264" && key == driver.publicKey.bytes && sig == driver.signature.bytes ? 1 : 0;
    return TL_OK;
}

TALVO_DRIVER_EXPORT const char* TLKeyReadCspName()
{
    record("TLKeyReadCspName");
    auto& name = recordingDriver().cspName;
    return name ? name->data() : nullptr;
}

namespace {

SealEntry* entryFor(int32_t sealNumber)
{
    for (SealEntry& entry : recordingDriver().keyInfo.sealTable)
        if (entry.inUse && entry.number == sealNumber)
            return &entry;
    return nullptr;
}

} // namespace

TALVO_DRIVER_EXPORT int32_t TLKeyGetStatus(uint32_t* status)
{
    record("TLKeyGetStatus");
    if (const int32_t failure = injected("TLKeyGetStatus"))
        return failure;
    *status = 1;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length)
{
    record("TLKeyReadSealData", {std::to_string(sealNumber), data ? std::to_string(*length) : "null"});
    if (const int32_t status = injected("TLKeyReadSealData"))
        return status;
    auto& driver = recordingDriver();
    const auto found = driver.pictures.find(sealNumber);
    if (found == driver.pictures.end())
        return TL_ERR_PARAMETER;
    const std::string& picture = found->second;
    const auto size = static_cast<uint32_t>(picture.size());
    // A fault of the second call alone: the length was read, the bytes were not.
    if (const int32_t status = data ? injected("TLKeyReadSealData/buffer") : 0)
        return status;
    if (!data) {
        *length = size;
        return 0;
    }
    if (*length < size) {
        *length = size;
        return TL_ERR_MEMORY;
    }
    std::memcpy(data, picture.data(), size);
    *length = size + driver.overReport;
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data,
                                               uint32_t length)
{
    // The whole fixed buffers, as the driver reads them.
    record("TLKeyWriteSealData", {std::string(name, TL_SEAL_NAME_SIZE),
                                  std::string(expiry, TL_SEAL_TIME_SIZE), std::to_string(length)});
    if (const int32_t status = injected("TLKeyWriteSealData"))
        return status;
    auto& driver = recordingDriver();
    for (int slot = 0; slot < TL_SEAL_SLOTS; ++slot) {
        SealEntry& entry = driver.keyInfo.sealTable[slot];
        if (entry.inUse)
            continue;
        entry = SealEntry{};
        entry.number = TL_FIRST_SEAL_NUMBER + slot;
        entry.inUse = 1;
        std::memcpy(entry.name, name, TL_SEAL_NAME_SIZE - 1);
        std::memcpy(entry.expiryTime, expiry, TL_SEAL_TIME_SIZE - 1);
        std::memcpy(entry.initTime, "2024-05-06", 10);
        driver.pictures[entry.number] = std::string(reinterpret_cast<const char*>(data), length);
        return 0;
    }
    return TL_ERR_NO_SPACE;
}

TALVO_DRIVER_EXPORT int32_t TLKeyDelSealData(int32_t sealNumber)
{
    record("TLKeyDelSealData", {std::to_string(sealNumber)});
    if (const int32_t status = injected("TLKeyDelSealData"))
        return status;
    SealEntry* entry = entryFor(sealNumber);
    if (!entry)
        return TL_ERR_PARAMETER;
    entry->inUse = 0;
    recordingDriver().pictures.erase(sealNumber);
    return 0;
}

TALVO_DRIVER_EXPORT int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time)
{
    record("TLKeyWriteSealTime",
           {std::to_string(sealNumber), std::string(time, strnlen(time, TL_SEAL_TIME_SIZE))});
    if (const int32_t status = injected("TLKeyWriteSealTime"))
        return status;
    SealEntry* entry = entryFor(sealNumber);
    if (!entry)
        return TL_ERR_PARAMETER;
    std::memcpy(entry->expiryTime, time, TL_SEAL_TIME_SIZE - 1);
    return 0;
}
