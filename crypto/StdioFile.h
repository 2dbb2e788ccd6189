#pragma once

#include <QString>

#include <cstdio>
#include <memory>

namespace talvo {

// Closes the stream, then frees the buffer it was given (glibc ignores a size given without
// a buffer of its own, so the buffer lives with the closer).
struct StdioFileCloser {
    std::unique_ptr<char[]> buffer;
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileCloser>;

// Opens by the file system's own encoding of the name, never through the key's code page,
// so that any name the operator can choose opens.
StdioFile openStdioFile(const QString& path, const char* mode);

// Gives a freshly opened stream a 64 KiB buffer: the 1000- and 4096-byte pieces then cost one
// system call per 64 KiB instead of one per 4 KiB. Must come before the first read or write.
StdioFile withLargeBuffer(StdioFile file);

// Closes the file, flushing what it still buffers; false when that flush fails.
bool closeStdioFile(StdioFile& file);

} // namespace talvo
