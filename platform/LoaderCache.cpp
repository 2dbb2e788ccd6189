#include "LoaderCache.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo {

namespace {

// The layout that glibc's ldconfig has written since 2.32: a 48-byte header, then entries of
// 24 bytes whose names are offsets into the same file.
constexpr char kMagic[] = "glibc-ld.so.cache1.1";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kHeaderSize = 48;
constexpr std::size_t kEntrySize = 24;
constexpr off_t kMaxCacheSize = off_t{64} << 20;

// The entry flags that the loader accepts for this process: the libc6 type and the
// architecture's ABI bits. Elsewhere the cache is not consulted.
#if defined(__x86_64__) && !defined(__ILP32__)
constexpr std::int32_t kArchitectureFlags = 0x0303;
#elif defined(__aarch64__) && !defined(__ILP32__)
constexpr std::int32_t kArchitectureFlags = 0x0a03;
#elif defined(__i386__)
constexpr std::int32_t kArchitectureFlags = 0x0003;
#else
constexpr std::int32_t kArchitectureFlags = -1;
#endif

// The header's byte order mark: 0 for caches that predate it, else 2 little, 3 big endian.
constexpr std::uint8_t kHostByteOrder = std::endian::native == std::endian::little ? 2 : 3;

template <class Value> Value read(const std::string& data, std::size_t offset)
{
    Value value;
    std::memcpy(&value, data.data() + offset, sizeof value);
    return value;
}

std::optional<std::string> readSmallFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::optional<std::string> data;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kMaxCacheSize) {
        std::string bytes(static_cast<std::size_t>(status.st_size), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        if (done == bytes.size())
            data = std::move(bytes);
    }
    ::close(fd);
    return data;
}

std::optional<std::string> stringAt(const std::string& data, std::uint32_t offset)
{
    if (offset >= data.size())
        return std::nullopt;
    const std::size_t end = data.find('\0', offset);
    if (end == std::string::npos)
        return std::nullopt;
    return data.substr(offset, end - offset);
}

} // namespace

std::optional<std::string> lookUpLoaderCache(const std::filesystem::path& cacheFile, const std::string& name)
{
    if (kArchitectureFlags < 0)
        return std::nullopt;
    const std::optional<std::string> data = readSmallFile(cacheFile);
    if (!data || data->size() < kHeaderSize || data->compare(0, kMagicSize, kMagic) != 0)
        return std::nullopt;
    const auto byteOrder = read<std::uint8_t>(*data, 28);
    if (byteOrder != 0 && byteOrder != kHostByteOrder)
        return std::nullopt;
    const auto count = read<std::uint32_t>(*data, 20);
    if (count > (data->size() - kHeaderSize) / kEntrySize)
        return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kEntrySize;
        // Entries for a glibc-hwcaps subdirectory carry a capability; the baseline has none.
        if (read<std::int32_t>(*data, entry) != kArchitectureFlags ||
            read<std::uint64_t>(*data, entry + 16) != 0)
            continue;
        if (stringAt(*data, read<std::uint32_t>(*data, entry + 4)) == name)
            return stringAt(*data, read<std::uint32_t>(*data, entry + 8));
    }
    return std::nullopt;
}

} // namespace talvo
