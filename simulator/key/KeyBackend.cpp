#include "KeyBackend.h"

#include "KeyStore.h"
#include "TokenKeyStore.h"

namespace talvo::sim {

std::unique_ptr<KeyBackend> openKeyBackend(const std::filesystem::path& directory)
{
    if (hasTokenReference(directory))
        return std::make_unique<TokenKeyStore>(directory);
    return std::make_unique<KeyStore>(directory);
}

} // namespace talvo::sim
