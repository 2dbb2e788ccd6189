#pragma once

#include "platform/core/FileErrorText.h"

#include <QString>

namespace talvo {

// The framework's standard file-error box: the text for the cause with the file's name,
// the application's name as caption, the error icon, owned by the main window.
void showFileErrorBox(const QString& path, int errorNumber);

} // namespace talvo
