#pragma once

#include <QDateTime>
#include <QString>

namespace talvo::stamp {

// Why a seal with this expiry text may not be used at a moment; empty when it may. A text that
// is no time at all does not count as in force.
QString sealOutOfForceReason(const QString& expiry, const QDateTime& now);

} // namespace talvo::stamp
