#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace talvo {

// Writes the bytes to a file the operator named (an exported certificate or seal picture),
// created or truncated as any file it names (mode 0666 less the umask, a link followed).
// Returns 0, or the errno of the step that failed; a partly written file stays. A named pipe
// without a reader fails at once instead of holding the caller; one with a reader is written
// whole, however slowly it reads.
int writeCertificateFile(const QString& path, const uint8_t* data, std::size_t size);

} // namespace talvo
