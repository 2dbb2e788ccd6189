#include "KeyPoller.h"

#include "KeyWatcher.h"
#include "StampKey.h"

namespace talvo::stamp {

KeyPoller::KeyPoller(StampKey& key, KeyWatcher& watcher, std::chrono::milliseconds interval)
    : m_key(key), m_watcher(watcher), m_timer(this)
{
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &KeyPoller::look);
}

void KeyPoller::start()
{
    look();
    m_timer.start();
}

void KeyPoller::look()
{
    const bool present = m_key.isPresent();
    if (m_present == present)
        return;
    m_present = present;
    std::vector<KeySeal> seals;
    QString problem;
    if (present)
        problem = m_key.readSeals(seals);
    // A key that could not be read is read again at the next look.
    if (!problem.isEmpty())
        m_present.reset();
    Q_EMIT m_watcher.keyChanged(present, seals, problem);
}

} // namespace talvo::stamp
