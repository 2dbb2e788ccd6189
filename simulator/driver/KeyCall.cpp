#include "KeyCall.h"

#include "simulator/common/SimDirectory.h"

#include <cstdio>

namespace talvo::sim {

void driverMessage(const char* function, const std::string& message)
{
    std::fprintf(stderr, "libTalvoDriver: %s: %s\n", function, message.c_str());
}

KeyCall::KeyCall(const char* function, Access access)
    : m_function(function), m_store(stateDirectory()), m_backend(openKeyBackend(m_store.directory()))
{
    if (!isPlugged(m_store.directory()))
        return;
    std::string error;
    const auto mode = access == Access::Read ? FileLock::Mode::Shared : FileLock::Mode::Exclusive;
    switch (m_store.lock(m_lock, mode, &error)) {
    case FileLock::Result::NoDirectory:
        return;
    case FileLock::Result::Busy: // answered as an absent key, with the locked file named
        driverMessage(function, error);
        return;
    case FileLock::Result::Failed:
        m_outcome = Outcome::Damaged;
        m_status = damaged(error);
        return;
    case FileLock::Result::Locked:
        break;
    }
    switch (m_backend->load(m_state, &error)) {
    case KeyStore::LoadResult::NoKey:
        if (!error.empty())
            driverMessage(function, error);
        return;
    case KeyStore::LoadResult::Damaged:
        m_outcome = Outcome::Damaged;
        m_status = damaged(error + " (left as it is; run talvo-sim reset to replace it)");
        return;
    case KeyStore::LoadResult::Loaded:
        break;
    }
    // The unplugged marker may have appeared while we waited for the lock.
    if (!isPlugged(m_store.directory()))
        return;
    if (const auto failure = m_state.failures.find(function); failure != m_state.failures.end()) {
        m_outcome = Outcome::Injected;
        m_status = failure->second;
        return;
    }
    m_outcome = Outcome::Ready;
    m_status = TL_OK;
}

int32_t KeyCall::save()
{
    std::string error;
    if (m_backend->save(m_state, &error))
        return TL_OK;
    return damaged(error);
}

int32_t KeyCall::damaged(const std::string& message) const
{
    driverMessage(m_function, message);
    return m_backend->failureStatus();
}

} // namespace talvo::sim
