#pragma once

#include <QString>

namespace talvo {

// Renders every window of the tool into PNG files in the directory, with the simulated key
// (or whatever driver is found), without a display. Returns the process exit code.
int runHeadlessTour(const QString& directory);

} // namespace talvo
