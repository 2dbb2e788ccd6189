#include "FakeKey.h"

#include "platform/Cp936Codec.h"
#include "support/Cp936.h"

#include <cstring>

namespace talvo::testing {

namespace {

template <class Pointer> void bind(const DynamicLibrary& library, Pointer& pointer, const char* name)
{
    pointer = reinterpret_cast<Pointer>(library.symbol(name));
}

} // namespace

FakeKey::FakeKey() : m_library("libTalvoDriver.so")
{
    bind(m_library, m_reset, "FakeKeyReset");
    bind(m_library, m_setEntry, "FakeKeySetEntry");
    bind(m_library, m_setPicture, "FakeKeySetPicture");
    bind(m_library, m_fail, "FakeKeyFail");
    bind(m_library, m_overReport, "FakeKeyOverReport");
    bind(m_library, m_callLog, "FakeKeyCallLog");
    bind(m_library, m_clearCallLog, "FakeKeyClearCallLog");
    bind(m_library, m_lastSealWrite, "FakeKeyLastSealWrite");
    if (isLoaded())
        reset();
}

void FakeKey::reset()
{
    m_reset();
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
    m_setEntry(slot, &entry);
}

void FakeKey::putPicture(int32_t number, const QByteArray& bytes)
{
    m_setPicture(number, reinterpret_cast<const uint8_t*>(bytes.constData()),
                 static_cast<uint32_t>(bytes.size()));
}

void FakeKey::fail(const char* function, int32_t status)
{
    m_fail(function, status);
}

void FakeKey::overReport(uint32_t extraBytes)
{
    m_overReport(extraBytes);
}

QStringList FakeKey::calls() const
{
    return QString::fromUtf8(m_callLog()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void FakeKey::clearCalls()
{
    m_clearCallLog();
}

FakeKey::SealWrite FakeKey::lastSealWrite() const
{
    char name[TL_SEAL_NAME_SIZE] = {};
    char expiry[TL_SEAL_TIME_SIZE] = {};
    SealWrite write;
    m_lastSealWrite(name, expiry, &write.length);
    write.name.assign(name, sizeof name);
    write.expiry.assign(expiry, sizeof expiry);
    return write;
}

} // namespace talvo::testing
