#pragma once

#include "platform/cryptoapi/WinCryptTypes.h"

#include <QString>

#include <cstdio>

namespace talvo {

// Feeds the whole file to the hash in reads of up to 4096 bytes. False when the file cannot be
// opened or read, is no regular file, or the hash refuses a piece.
bool hashFileContent(HCRYPTHASH hash, const QString& path);
// The same for a stream that has just been written: read back from its start.
bool hashWrittenContent(HCRYPTHASH hash, std::FILE* stream);

} // namespace talvo
