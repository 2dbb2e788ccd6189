#pragma once

#include "DesSessionKey.h"
#include "ProviderHash.h"

#include "simulator/token/KeyContainer.h"

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

// A context on the simulated key's container, with the keys and hashes made in it.
class ProviderContext {
public:
    explicit ProviderContext(std::unique_ptr<sim::KeyContainer> container);

    const std::string& containerName() const { return m_container->name(); }
    // Null when the container holds no such pair.
    sim::ContainerKey* userKey(DWORD keySpec);

    HCRYPTKEY addKey(KeyObject key);
    KeyObject* key(HCRYPTKEY handle);
    bool removeKey(HCRYPTKEY handle);

    HCRYPTHASH addHash(std::unique_ptr<ProviderHash> hash);
    ProviderHash* hash(HCRYPTHASH handle);
    bool removeHash(HCRYPTHASH handle);

private:
    std::unique_ptr<sim::KeyContainer> m_container;
    ULONG_PTR m_nextHandle = 0;
    std::map<HCRYPTKEY, std::unique_ptr<KeyObject>> m_keys;
    std::map<HCRYPTHASH, std::unique_ptr<ProviderHash>> m_hashes;
};

} // namespace talvo::csp
