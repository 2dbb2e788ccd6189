#include "SecureMessage.h"

#include "platform/Interaction.h"

namespace talvo {

SecureMessage::SecureMessage(QWidget* owner) : m_owner(owner) {}

void SecureMessage::showError(const QString& text) const
{
    windowMessageBox(m_owner.data(), text, QStringLiteral("错误"), BoxIcon::Error);
}

} // namespace talvo
