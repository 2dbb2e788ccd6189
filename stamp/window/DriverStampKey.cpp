#include "DriverStampKey.h"

#include "SealValidity.h"
#include "device/KeyDriverBinding.h"
#include "key/PinOperations.h"
#include "key/SealOperations.h"
#include "key/SealPictureRead.h"
#include "key/SealSlotTable.h"
#include "platform/core/Cp936Codec.h"

#include <QDateTime>

namespace talvo::stamp {

DriverStampKey::DriverStampKey(KeyDriverBinding& binding) : m_binding(binding) {}

bool DriverStampKey::isPresent()
{
    std::lock_guard lock(m_driverMutex);
    return m_binding.TLKeyIsExist(kSelector);
}

int32_t DriverStampKey::readSeals(std::vector<KeySeal>& seals)
{
    std::lock_guard lock(m_driverMutex);
    SealSlotTable table;
    table.reset();
    if (const int32_t status = readSealTable(m_binding, table); status != 0)
        return status;
    const QDateTime now = QDateTime::currentDateTime();
    seals.clear();
    for (int position = 0; position < table.listedCount(); ++position) {
        const SealEntry* entry = table.listedEntry(position);
        KeySeal seal;
        seal.number = entry->number;
        seal.name = fromCp936(entry->name, sizeof entry->name);
        seal.expiry = fromCp936(entry->expiryTime, sizeof entry->expiryTime);
        seal.reason = sealOutOfForceReason(seal.expiry, now);
        seal.inForce = seal.reason.isEmpty();
        const SealPictureRead picture = readSealPicture(m_binding, seal.number);
        if (picture.status != 0)
            return picture.status;
        seal.picture = QByteArray(reinterpret_cast<const char*>(picture.bytes()),
                                  static_cast<qsizetype>(picture.size()));
        seals.push_back(std::move(seal));
    }
    return 0;
}

int32_t DriverStampKey::verifyPin(const QString& pin)
{
    std::lock_guard lock(m_driverMutex);
    return checkPin(m_binding, toCp936(pin));
}

pdf::SealingResult DriverStampKey::seal(const QString&, const QString&, const std::vector<pdf::SealStamp>&)
{
    std::lock_guard lock(m_driverMutex);
    return {false, "签章库尚未就绪，无法盖章。"};
}

} // namespace talvo::stamp
