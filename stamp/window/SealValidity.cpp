#include "SealValidity.h"

namespace talvo::stamp {

QString sealOutOfForceReason(const QString& expiry, const QDateTime& now)
{
    const QDateTime end = QDateTime::fromString(expiry.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!end.isValid())
        return QStringLiteral("有效期无法识别");
    if (end <= now)
        return QStringLiteral("已于 %1 过期").arg(expiry.trimmed());
    return {};
}

} // namespace talvo::stamp
