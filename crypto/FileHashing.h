#pragma once

#include "platform/WinCryptTypes.h"

#include <QString>

namespace talvo {

// Feeds the whole file to the hash in reads of up to 4096 bytes. False when the file cannot be
// opened or read, is no regular file, or the hash refuses a piece.
bool hashFileContent(HCRYPTHASH hash, const QString& path);

} // namespace talvo
