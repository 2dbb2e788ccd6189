#pragma once

#include "ProviderContext.h"

#include "platform/cryptoapi/CspProviderInterface.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>

namespace talvo::csp {

// The provider's open contexts. One lock guards every entry point: calls are short, and the
// key state they touch (hash and cipher chaining) must not interleave.
class ProviderState {
public:
    static ProviderState& instance();

    std::mutex& mutex() { return m_mutex; }
    HCRYPTPROV add(std::unique_ptr<ProviderContext> context);
    ProviderContext* find(HCRYPTPROV handle);
    bool remove(HCRYPTPROV handle);

    void setErrorSink(PFN_SET_LAST_ERROR sink) { m_errorSink.store(sink); }
    // Reports the error to the caller's GetLastError and returns FALSE.
    BOOL fail(DWORD error) const;

private:
    std::mutex m_mutex;
    HCRYPTPROV m_nextHandle = 0x5000;
    std::map<HCRYPTPROV, std::unique_ptr<ProviderContext>> m_contexts;
    std::atomic<PFN_SET_LAST_ERROR> m_errorSink{nullptr};
};

} // namespace talvo::csp
