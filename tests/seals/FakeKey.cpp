#include "FakeKey.h"

#include "device/TalvoDriverExports.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DynamicLibrary.h"
#include "support/Cp936.h"

#include <cstring>

namespace talvo::testing {

FakeKey::FakeKey()
{
    reset();
}

bool FakeKey::isLoaded() const
{
    const DynamicLibrary library("libTalvoDriver.so");
    return library.isLoaded() && library.symbol("TLKeyGetStatus") == reinterpret_cast<void*>(&TLKeyGetStatus);
}

void FakeKey::reset()
{
    recordingDriver().reset();
}

void FakeKey::putSeal(int slot, int32_t number, const QString& name, const std::string& expiry,
                      const std::string& initTime)
{
    SealEntry entry{};
    entry.number = number;
    entry.inUse = 1;
    copyToField(cp936(name), entry.name);
    std::memcpy(entry.expiryTime, expiry.data(), std::min(expiry.size(), sizeof entry.expiryTime));
    std::memcpy(entry.initTime, initTime.data(), std::min(initTime.size(), sizeof entry.initTime));
    putEntry(slot, entry);
}

void FakeKey::putEntry(int slot, const SealEntry& entry)
{
    if (slot >= 0 && slot < TL_SEAL_SLOTS)
        recordingDriver().keyInfo.sealTable[slot] = entry;
}

void FakeKey::putPicture(int32_t number, const QByteArray& bytes)
{
    recordingDriver().pictures[number] = bytes.toStdString();
}

void FakeKey::fail(const char* function, int32_t status)
{
    if (status == TL_OK)
        recordingDriver().failures.erase(function);
    else
        recordingDriver().failures[function] = status;
}

void FakeKey::overReport(uint32_t extraBytes)
{
    recordingDriver().overReport = extraBytes;
}

QStringList FakeKey::calls() const
{
    QStringList lines;
    for (const DriverCall& call : recordingDriver().calls) {
        QString line = QString::fromStdString(call.name);
        const bool sealWrite = call.name == "TLKeyWriteSealData";
        for (std::size_t i = sealWrite ? call.arguments.size() - 1 : 0; i < call.arguments.size(); ++i)
            line += QLatin1Char(' ') + QString::fromStdString(call.arguments[i]);
        lines.append(line);
    }
    return lines;
}

void FakeKey::clearCalls()
{
    recordingDriver().calls.clear();
}

FakeKey::SealWrite FakeKey::lastSealWrite() const
{
    const std::vector<DriverCall>& calls = recordingDriver().calls;
    for (auto call = calls.rbegin(); call != calls.rend(); ++call)
        if (call->name == "TLKeyWriteSealData" && call->arguments.size() == 3)
            return {call->arguments[0], call->arguments[1],
                    static_cast<uint32_t>(std::stoul(call->arguments[2]))};
    return {};
}

} // namespace talvo::testing
