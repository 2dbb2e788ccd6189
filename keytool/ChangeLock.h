#pragma once

#include <QString>

namespace talvo::keytool {

// talvo-key's own lock, held by a run that changes the key from before its first driver call
// to its end, so that two runs never interleave a read of the key and the write built on it.
// The driver offers no lock of its own. It is a lock of the user's, one file for every run
// whatever its environment (in the private state directory): the tool's pages and other
// programs do not take it.
class ChangeLock {
public:
    ChangeLock() = default;
    ~ChangeLock();
    ChangeLock(const ChangeLock&) = delete;
    ChangeLock& operator=(const ChangeLock&) = delete;

    // Waits a bounded time for a run that holds it; false with the reason (naming the lock
    // file) when it stays held or cannot be taken.
    bool acquire(QString* error);

private:
    int m_descriptor = -1;
};

} // namespace talvo::keytool
