#include "SealValidity.h"

#include "key/SealStanding.h"
#include "platform/core/Cp936Codec.h"

namespace talvo::stamp {

QString sealOutOfForceReason(const std::string& expiryText, std::time_t at)
{
    const std::optional<std::time_t> end = sealExpiryTime(expiryText);
    if (!end)
        return QStringLiteral("有效期无法识别");
    if (*end <= at)
        return QStringLiteral("已于 %1 过期").arg(fromCp936(expiryText));
    return {};
}

} // namespace talvo::stamp
