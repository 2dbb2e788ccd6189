#include "ProviderContext.h"

namespace talvo::csp {

ProviderContext::ProviderContext(std::unique_ptr<sim::KeyContainer> container)
    : m_container(std::move(container))
{
}

sim::ContainerKey* ProviderContext::userKey(DWORD keySpec)
{
    if (keySpec == AT_SIGNATURE)
        return m_container->key(sim::KeyPair::Signature);
    if (keySpec == AT_KEYEXCHANGE)
        return m_container->key(sim::KeyPair::Exchange);
    return nullptr;
}

HCRYPTKEY ProviderContext::addKey(KeyObject key)
{
    const HCRYPTKEY handle = ++m_nextHandle;
    m_keys.emplace(handle, std::make_unique<KeyObject>(std::move(key)));
    return handle;
}

KeyObject* ProviderContext::key(HCRYPTKEY handle)
{
    const auto found = m_keys.find(handle);
    return found == m_keys.end() ? nullptr : found->second.get();
}

bool ProviderContext::removeKey(HCRYPTKEY handle)
{
    return m_keys.erase(handle) == 1;
}

HCRYPTHASH ProviderContext::addHash(std::unique_ptr<ProviderHash> hash)
{
    const HCRYPTHASH handle = ++m_nextHandle;
    m_hashes.emplace(handle, std::move(hash));
    return handle;
}

ProviderHash* ProviderContext::hash(HCRYPTHASH handle)
{
    const auto found = m_hashes.find(handle);
    return found == m_hashes.end() ? nullptr : found->second.get();
}

bool ProviderContext::removeHash(HCRYPTHASH handle)
{
    return m_hashes.erase(handle) == 1;
}

} // namespace talvo::csp
