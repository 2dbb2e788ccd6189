#include "WindowBoxReporter.h"

#include "Interaction.h"

namespace talvo {

void WindowBoxReporter::reportError(const QString& text, const QString& caption)
{
    windowMessageBox(m_owner.data(), text, caption, BoxIcon::Error);
}

} // namespace talvo
