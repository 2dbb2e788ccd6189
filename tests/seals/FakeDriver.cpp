// A key in memory for the seal tests, loaded under the driver's own name. It follows the
// driver contract where the tests need it to, and breaks it where a test asks.
#include "FakeDriverControl.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

// The driver functions this key answers; every other name is missing, as a driver may lack it.
FAKE_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo* info);
FAKE_EXPORT int32_t TLKeyGetStatus(uint32_t* status);
FAKE_EXPORT int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length);
FAKE_EXPORT int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data,
                                       uint32_t length);
FAKE_EXPORT int32_t TLKeyDelSealData(int32_t sealNumber);
FAKE_EXPORT int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time);

namespace {

struct FakeKey {
    KeyInfo info{};
    std::map<int32_t, std::string> pictures;
    std::map<std::string, int32_t> failures;
    uint32_t overReport = 0;
    std::string log;
    char lastName[TL_SEAL_NAME_SIZE] = {};
    char lastExpiry[TL_SEAL_TIME_SIZE] = {};
    uint32_t lastLength = 0;
};

FakeKey& key()
{
    static FakeKey instance;
    return instance;
}

void logCall(const std::string& line)
{
    key().log += line + "\n";
}

int32_t injected(const char* function)
{
    const auto found = key().failures.find(function);
    return found == key().failures.end() ? TL_OK : found->second;
}

SealEntry* entryFor(int32_t sealNumber)
{
    for (SealEntry& entry : key().info.sealTable)
        if (entry.inUse && entry.number == sealNumber)
            return &entry;
    return nullptr;
}

} // namespace

FAKE_EXPORT void FakeKeyReset(void)
{
    key() = FakeKey{};
    for (int k = 0; k < TL_SEAL_SLOTS; ++k)
        key().info.sealTable[k].number = TL_FIRST_SEAL_NUMBER + k;
}

FAKE_EXPORT void FakeKeySetEntry(int32_t slot, const SealEntry* entry)
{
    if (slot >= 0 && slot < TL_SEAL_SLOTS && entry)
        key().info.sealTable[slot] = *entry;
}

FAKE_EXPORT void FakeKeySetPicture(int32_t sealNumber, const uint8_t* data, uint32_t length)
{
    key().pictures[sealNumber] = std::string(reinterpret_cast<const char*>(data), length);
}

FAKE_EXPORT void FakeKeyFail(const char* function, int32_t status)
{
    if (status == TL_OK)
        key().failures.erase(function);
    else
        key().failures[function] = status;
}

FAKE_EXPORT void FakeKeyOverReport(uint32_t extraBytes)
{
    key().overReport = extraBytes;
}

FAKE_EXPORT const char* FakeKeyCallLog(void)
{
    return key().log.c_str();
}

FAKE_EXPORT void FakeKeyClearCallLog(void)
{
    key().log.clear();
}

FAKE_EXPORT void FakeKeyLastSealWrite(char name[TL_SEAL_NAME_SIZE], char expiry[TL_SEAL_TIME_SIZE],
                                      uint32_t* length)
{
    std::memcpy(name, key().lastName, TL_SEAL_NAME_SIZE);
    std::memcpy(expiry, key().lastExpiry, TL_SEAL_TIME_SIZE);
    *length = key().lastLength;
}

FAKE_EXPORT int32_t TLKeyReadKeyInfo(KeyInfo* info)
{
    logCall("TLKeyReadKeyInfo");
    if (const int32_t status = injected("TLKeyReadKeyInfo"))
        return status;
    *info = key().info;
    return TL_OK;
}

FAKE_EXPORT int32_t TLKeyGetStatus(uint32_t* status)
{
    logCall("TLKeyGetStatus");
    if (const int32_t failure = injected("TLKeyGetStatus"))
        return failure;
    *status = 1;
    return TL_OK;
}

FAKE_EXPORT int32_t TLKeyReadSealData(int32_t sealNumber, uint8_t* data, uint32_t* length)
{
    logCall("TLKeyReadSealData " + std::to_string(sealNumber) +
            (data ? " " + std::to_string(*length) : " null"));
    if (const int32_t status = injected("TLKeyReadSealData"))
        return status;
    const auto found = key().pictures.find(sealNumber);
    if (found == key().pictures.end())
        return TL_ERR_PARAMETER;
    const std::string& picture = found->second;
    const auto size = static_cast<uint32_t>(picture.size());
    // A fault of the second call alone: the length was read, the bytes were not.
    if (const int32_t status = data ? injected("TLKeyReadSealData/buffer") : TL_OK)
        return status;
    if (!data) {
        *length = size;
        return TL_OK;
    }
    if (*length < size) {
        *length = size;
        return TL_ERR_MEMORY;
    }
    std::memcpy(data, picture.data(), size);
    *length = size + key().overReport;
    return TL_OK;
}

FAKE_EXPORT int32_t TLKeyWriteSealData(const char* name, const char* expiry, const uint8_t* data,
                                       uint32_t length)
{
    logCall("TLKeyWriteSealData " + std::to_string(length));
    std::memcpy(key().lastName, name, TL_SEAL_NAME_SIZE);
    std::memcpy(key().lastExpiry, expiry, TL_SEAL_TIME_SIZE);
    key().lastLength = length;
    if (const int32_t status = injected("TLKeyWriteSealData"))
        return status;
    for (int k = 0; k < TL_SEAL_SLOTS; ++k) {
        SealEntry& entry = key().info.sealTable[k];
        if (entry.inUse)
            continue;
        entry = SealEntry{};
        entry.number = TL_FIRST_SEAL_NUMBER + k;
        entry.inUse = 1;
        std::memcpy(entry.name, name, TL_SEAL_NAME_SIZE - 1);
        std::memcpy(entry.expiryTime, expiry, TL_SEAL_TIME_SIZE - 1);
        std::memcpy(entry.initTime, "2024-05-06", 10);
        key().pictures[entry.number] = std::string(reinterpret_cast<const char*>(data), length);
        return TL_OK;
    }
    return TL_ERR_NO_SPACE;
}

FAKE_EXPORT int32_t TLKeyDelSealData(int32_t sealNumber)
{
    logCall("TLKeyDelSealData " + std::to_string(sealNumber));
    if (const int32_t status = injected("TLKeyDelSealData"))
        return status;
    SealEntry* entry = entryFor(sealNumber);
    if (!entry)
        return TL_ERR_PARAMETER;
    entry->inUse = 0;
    key().pictures.erase(sealNumber);
    return TL_OK;
}

FAKE_EXPORT int32_t TLKeyWriteSealTime(int32_t sealNumber, const char* time)
{
    logCall("TLKeyWriteSealTime " + std::to_string(sealNumber) + " " + std::string(time, strnlen(time, 21)));
    if (const int32_t status = injected("TLKeyWriteSealTime"))
        return status;
    SealEntry* entry = entryFor(sealNumber);
    if (!entry)
        return TL_ERR_PARAMETER;
    std::memcpy(entry->expiryTime, time, TL_SEAL_TIME_SIZE - 1);
    return TL_OK;
}
