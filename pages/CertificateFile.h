#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace talvo {

// Writes the certificate bytes to the export file, created or truncated: the file-object step
// of the export. Returns 0, or the errno of the step that failed; a partly written file
// stays. A named pipe without a reader fails at once instead of holding the page.
int writeCertificateFile(const QString& path, const uint8_t* data, std::size_t size);

} // namespace talvo
