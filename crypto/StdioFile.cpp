#include "StdioFile.h"

#include "platform/core/NativePath.h"

namespace talvo {

namespace {
constexpr std::size_t kStreamBufferSize = 64 * 1024;
}

StdioFile withLargeBuffer(StdioFile file)
{
    // A stream that cannot have the larger buffer keeps its own; nothing else changes.
    if (!file)
        return file;
    auto buffer = std::make_unique_for_overwrite<char[]>(kStreamBufferSize);
    if (std::setvbuf(file.get(), buffer.get(), _IOFBF, kStreamBufferSize) == 0)
        file.get_deleter().buffer = std::move(buffer);
    return file;
}

StdioFile openStdioFile(const QString& path, const char* mode)
{
    return withLargeBuffer(StdioFile(std::fopen(encodeNativePath(path).constData(), mode)));
}

bool closeStdioFile(StdioFile& file)
{
    return !file || std::fclose(file.release()) == 0;
}

} // namespace talvo
