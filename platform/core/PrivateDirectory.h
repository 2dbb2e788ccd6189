#pragma once

#include <QString>

namespace talvo {

// The directory that takes the place of the Windows directory for the tool's fixed-name
// temporary files: private to the user (mode 0700), under XDG_RUNTIME_DIR or else the
// user's cache directory. Empty when it cannot be made safe. A directory found loose is
// tightened, and what other users left in it is removed.
QString privateDirectory();

// The fixed file name inside the private directory; empty when there is no such directory.
QString privateFilePath(const QString& fileName);

// The user's private directory for what must be one for every run of the user's, whatever
// its environment: ~/.local/state/talvo-tool (mode 0700), by the home directory alone, never
// by XDG_RUNTIME_DIR or XDG_STATE_HOME, which a cron job and a desktop session set apart.
// Empty when it cannot be made safe.
QString privateStateDirectory();

} // namespace talvo
