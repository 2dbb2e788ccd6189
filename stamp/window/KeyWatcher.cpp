#include "KeyWatcher.h"

#include "KeyPoller.h"

namespace talvo::stamp {

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
