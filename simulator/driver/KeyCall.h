#pragma once

#include "simulator/key/FileLock.h"
#include "simulator/key/KeyState.h"
#include "simulator/key/KeyStore.h"

#include <cstdint>
#include <memory>
#include <string>

namespace talvo::sim {

// One driver call's hold on the key: the key must be plugged, its state is read afresh under
// the directory's lock (shared to read, exclusive to change) and a failure injected for the
// function answers instead of the function. The lock is held until the object dies.
class KeyCall {
public:
    enum class Access { Read, Change };
    enum class Outcome { Ready, NoKey, Damaged, Injected };

    KeyCall(const char* function, Access access);
    KeyCall(const KeyCall&) = delete;
    KeyCall& operator=(const KeyCall&) = delete;

    Outcome outcome() const { return m_outcome; }
    // 0 when the function may go on, else what it answers: 1 no key, 2 damaged, or the injected status.
    int32_t status() const { return m_status; }

    KeyState& state() { return m_state; }
    // The key's files, or the token that its directory names.
    const KeyBackend& store() const { return *m_backend; }

    // Writes the changed state back; 0, or what the failure answers (see damaged).
    int32_t save();
    // Says on standard error what is wrong with the key's files or token and answers 2, or for
    // a token that has gone 1 and for one without room 6.
    int32_t damaged(const std::string& message) const;

private:
    const char* m_function;
    KeyStore m_store;
    std::unique_ptr<KeyBackend> m_backend;
    FileLock m_lock;
    KeyState m_state;
    Outcome m_outcome = Outcome::NoKey;
    int32_t m_status = TL_ERR_NO_DEVICE;
};

// Reports a fault to standard error under the library's name.
void driverMessage(const char* function, const std::string& message);

} // namespace talvo::sim
