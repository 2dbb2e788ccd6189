#pragma once

#include <QString>

namespace talvo {

// The framework's text for a file that cannot be created or written, for an errno value, with
// the file's name in it.
QString fileErrorText(const QString& path, int errorNumber);

} // namespace talvo
