#pragma once

#include "DesSessionKey.h"
#include "Md5Hash.h"

#include "simulator/common/ContainerKeys.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <variant>

namespace talvo::csp {

// One of the container's own pairs, named by AT_SIGNATURE or AT_KEYEXCHANGE.
struct UserKey {
    DWORD keySpec = 0;
};

using KeyObject = std::variant<DesSessionKey, UserKey>;

// A context on the simulated key's container, with the keys and hashes made in it. The pairs
// are read from the container when first needed, so a container that lacks one still opens.
class ProviderContext {
public:
    ProviderContext(std::filesystem::path directory, std::string containerName);

    const std::string& containerName() const { return m_containerName; }
    // Null when the container holds no such pair.
    EVP_PKEY* userKey(DWORD keySpec);

    HCRYPTKEY addKey(KeyObject key);
    KeyObject* key(HCRYPTKEY handle);
    bool removeKey(HCRYPTKEY handle);

    HCRYPTHASH addHash(std::unique_ptr<Md5Hash> hash);
    Md5Hash* hash(HCRYPTHASH handle);
    bool removeHash(HCRYPTHASH handle);

private:
    std::filesystem::path m_directory;
    std::string m_containerName;
    sim::EvpPkeyPtr m_signatureKey;
    sim::EvpPkeyPtr m_exchangeKey;
    ULONG_PTR m_nextHandle = 0;
    std::map<HCRYPTKEY, std::unique_ptr<KeyObject>> m_keys;
    std::map<HCRYPTHASH, std::unique_ptr<Md5Hash>> m_hashes;
};

} // namespace talvo::csp
