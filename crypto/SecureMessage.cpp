#include "SecureMessage.h"

#include "platform/core/ErrorReporter.h"

namespace talvo {

void SecureMessage::showError(const QString& text) const
{
    m_reporter.reportError(text, QStringLiteral("错误"));
}

} // namespace talvo
