#include "FileHashing.h"

#include "FileIdentity.h"
#include "SecureMessageFormat.h"

#include "platform/CryptoApi.h"

#include <array>

namespace talvo {

bool hashFileContent(HCRYPTHASH hash, const QString& path)
{
    StdioFile file = openRegularFileForReading(path);
    if (!file)
        return false;
    std::array<BYTE, secure_message::kHashReadSize> buffer{};
    for (;;) {
        const size_t count = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (count == 0)
            break;
        if (!CryptHashData(hash, buffer.data(), static_cast<DWORD>(count), 0))
            return false;
    }
    // A read error also ends the reads; a hash of part of the file must not pass for the whole.
    return std::ferror(file.get()) == 0;
}

} // namespace talvo
