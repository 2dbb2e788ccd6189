#include "StampSteps.h"

#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "key/PinOperations.h"
#include "key/SealPictureRead.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/VisibleText.h"

namespace talvo {

namespace {

StampStep refused(const QString& message)
{
    return {false, message};
}

// A driver that is not there is said so in the loader's words; a key that is not there in the
// driver's.
StampStep keyFailure(KeyDriverBinding& binding, int32_t status)
{
    if (!binding.isLibraryLoaded())
        return refused(
            QStringLiteral("无法加载设备驱动：%1").arg(QString::fromLocal8Bit(binding.loadError())));
    return refused(statusText(status));
}

QString sealTitle(const SealStanding& seal)
{
    return QStringLiteral("签章 %1「%2」").arg(seal.number).arg(visibleText(fromCp936(seal.cp936Name)));
}

} // namespace

StampStep listSeals(KeyDriverBinding& binding, std::time_t at, std::vector<SealStanding>& seals)
{
    if (!binding.isLibraryLoaded())
        return keyFailure(binding, TL_ERR_NO_DEVICE);
    const int32_t status = readSealStandings(binding, at, seals);
    return status == TL_OK ? StampStep{true, {}} : keyFailure(binding, status);
}

StampStep chooseSeal(KeyDriverBinding& binding, int32_t number, std::time_t at, SealStanding& seal)
{
    std::vector<SealStanding> seals;
    if (StampStep listed = listSeals(binding, at, seals); !listed.ok)
        return listed;
    for (const SealStanding& candidate : seals) {
        if (candidate.number != number)
            continue;
        if (!candidate.inForce)
            return refused(QStringLiteral("%1已过期（有效期至 %2），不能盖章")
                               .arg(sealTitle(candidate), visibleText(fromCp936(candidate.expiryText))));
        seal = candidate;
        return {true, {}};
    }
    return refused(QStringLiteral("签章 %1 不存在").arg(number));
}

StampStep readSealPictureBytes(KeyDriverBinding& binding, int32_t number, std::vector<uint8_t>& picture)
{
    const SealPictureRead read = readSealPicture(binding, number);
    if (read.status != TL_OK)
        return keyFailure(binding, read.status);
    if (read.emptyLength || read.size() == 0)
        return refused(QStringLiteral("签章 %1 没有图片").arg(number));
    picture.assign(read.bytes(), read.bytes() + read.size());
    return {true, {}};
}

StampStep verifyHolderPin(KeyDriverBinding& binding, const std::string& pin)
{
    const QString text = QString::fromUtf8(pin);
    const std::string cp936 = toCp936(text);
    if (pin.empty() || fromCp936(cp936) != text)
        return refused(QStringLiteral("PIN码错误，未盖章"));
    const int32_t status = checkPin(binding, cp936);
    if (status == TL_OK)
        return {true, {}};
    if (status == TL_ERR_NO_DEVICE || !binding.isLibraryLoaded())
        return keyFailure(binding, status);
    return refused(QStringLiteral("PIN码错误，未盖章"));
}

} // namespace talvo
