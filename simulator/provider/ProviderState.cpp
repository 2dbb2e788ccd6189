#include "ProviderState.h"

#include "OsslLibrary.h"

namespace talvo::csp {

ProviderState& ProviderState::instance()
{
    // The OpenSSL context comes first so that it is torn down last: contexts that a caller
    // never released still free their keys into a live library at exit.
    OsslLibrary::instance();
    static ProviderState state;
    return state;
}

HCRYPTPROV ProviderState::add(std::unique_ptr<ProviderContext> context)
{
    const HCRYPTPROV handle = ++m_nextHandle;
    m_contexts.emplace(handle, std::move(context));
    return handle;
}

ProviderContext* ProviderState::find(HCRYPTPROV handle)
{
    const auto found = m_contexts.find(handle);
    return found == m_contexts.end() ? nullptr : found->second.get();
}

bool ProviderState::remove(HCRYPTPROV handle)
{
    return m_contexts.erase(handle) == 1;
}

BOOL ProviderState::fail(DWORD error) const
{
    if (const PFN_SET_LAST_ERROR sink = m_errorSink.load())
        sink(error);
    return FALSE;
}

} // namespace talvo::csp
