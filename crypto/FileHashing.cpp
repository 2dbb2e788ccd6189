#include "FileHashing.h"

#include "FileIdentity.h"
#include "SecureMessageFormat.h"

#include "platform/cryptoapi/CryptoApi.h"

#include <array>

namespace talvo {

namespace {

bool hashToTheEnd(HCRYPTHASH hash, std::FILE* file)
{
    std::array<BYTE, secure_message::kHashReadSize> buffer{};
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), file);
        if (count == 0)
            break;
        if (!CryptHashData(hash, buffer.data(), static_cast<DWORD>(count), 0))
            return false;
    }
    // A read error also ends the reads; a hash of part of the file must not pass for the whole.
    return std::ferror(file) == 0;
}

} // namespace

bool hashFileContent(HCRYPTHASH hash, const QString& path)
{
    StdioFile file = openRegularFileForReading(path);
    return file && hashToTheEnd(hash, file.get());
}

bool hashWrittenContent(HCRYPTHASH hash, std::FILE* stream)
{
    return std::fflush(stream) == 0 && std::fseek(stream, 0, SEEK_SET) == 0 && hashToTheEnd(hash, stream);
}

} // namespace talvo
