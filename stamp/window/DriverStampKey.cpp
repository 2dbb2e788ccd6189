#include "DriverStampKey.h"

#include "SealValidity.h"
#include "device/KeyDriverBinding.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/NativePath.h"
#include "stamp/KeyDigestSigner.h"
#include "stamp/StampSteps.h"

#include <ctime>

namespace talvo::stamp {

DriverStampKey::DriverStampKey(KeyDriverBinding& binding) : m_binding(binding) {}

bool DriverStampKey::isPresent()
{
    std::lock_guard lock(m_driverMutex);
    return m_binding.TLKeyIsExist(kSelector);
}

QString DriverStampKey::readSeals(std::vector<KeySeal>& seals)
{
    std::lock_guard lock(m_driverMutex);
    const std::time_t now = std::time(nullptr);
    std::vector<SealStanding> standings;
    if (const StampStep listed = listSeals(m_binding, now, standings); !listed.ok)
        return listed.message;
    seals.clear();
    for (const SealStanding& standing : standings) {
        KeySeal seal;
        seal.number = standing.number;
        seal.name = fromCp936(standing.cp936Name);
        seal.expiry = fromCp936(standing.expiryText);
        seal.inForce = standing.inForce;
        seal.reason = sealOutOfForceReason(standing.expiryText, now);
        std::vector<uint8_t> picture;
        if (const StampStep read = readSealPictureBytes(m_binding, standing.number, picture); !read.ok)
            return read.message;
        seal.picture =
            QByteArray(reinterpret_cast<const char*>(picture.data()), static_cast<qsizetype>(picture.size()));
        seals.push_back(std::move(seal));
    }
    return {};
}

QString DriverStampKey::verifyPin(const QString& pin)
{
    std::lock_guard lock(m_driverMutex);
    const StampStep verified = verifyHolderPin(m_binding, pin.toStdString());
    return verified.ok ? QString() : verified.message;
}

pdf::SealingResult DriverStampKey::seal(const QString& inputPath, const QString& outputPath,
                                        const std::vector<pdf::SealStamp>& stamps)
{
    std::lock_guard lock(m_driverMutex);
    KeyDigestSigner signer(m_binding);
    return pdf::sealDocument(encodeNativePath(inputPath).toStdString(),
                             encodeNativePath(outputPath).toStdString(), stamps, signer, std::time(nullptr));
}

} // namespace talvo::stamp
