#pragma once

#include <QString>

#include <cstdio>
#include <memory>

namespace talvo {

struct StdioFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// Opens by the file system's own encoding of the name, never through the key's code page,
// so that any name the operator can choose opens.
StdioFile openStdioFile(const QString& path, const char* mode);

// Closes the file, flushing what it still buffers; false when that flush fails.
bool closeStdioFile(StdioFile& file);

} // namespace talvo
