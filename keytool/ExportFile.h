#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace talvo::keytool {

// Writes the bytes to a file the operator named, created or truncated as any file it names
// (mode 0666 less the umask, a link followed); 0, or the errno of the step that failed. A named
// pipe without a reader fails at once instead of holding the program.
int writeExportFile(const QString& path, const uint8_t* data, std::size_t size);

} // namespace talvo::keytool
