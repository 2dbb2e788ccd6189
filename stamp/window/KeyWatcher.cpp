#include "KeyWatcher.h"

#include "StampKey.h"

#include <QTimer>

#include <optional>

namespace talvo::stamp {

namespace {

class KeyPoller : public QObject {
public:
    KeyPoller(StampKey& key, KeyWatcher& watcher, std::chrono::milliseconds interval)
        : m_key(key), m_watcher(watcher), m_timer(this)
    {
        m_timer.setInterval(interval);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { look(); });
    }

    void start()
    {
        look();
        m_timer.start();
    }

    void look()
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

private:
    StampKey& m_key;
    KeyWatcher& m_watcher;
    QTimer m_timer;
    std::optional<bool> m_present;
};

} // namespace

KeyWatcher::KeyWatcher(StampKey& key, std::chrono::milliseconds interval)
{
    m_thread.setObjectName(QStringLiteral("talvo-stamp key"));
    auto* poller = new KeyPoller(key, *this, interval); // deleted in its thread as the thread ends
    poller->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, poller, [poller] { poller->start(); });
    connect(&m_thread, &QThread::finished, poller, &QObject::deleteLater);
    m_thread.start();
}

KeyWatcher::~KeyWatcher()
{
    m_thread.quit();
    m_thread.wait();
}

} // namespace talvo::stamp
