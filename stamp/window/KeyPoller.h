#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <optional>

namespace talvo::stamp {

class KeyWatcher;
class StampKey;

// The watcher's worker, living in the watcher's thread: it looks at the key on every tick and
// tells the watcher what changed.
class KeyPoller : public QObject {
    Q_OBJECT
public:
    KeyPoller(StampKey& key, KeyWatcher& watcher, std::chrono::milliseconds interval);

    void start();

private:
    void look();

    StampKey& m_key;
    KeyWatcher& m_watcher;
    QTimer m_timer;
    std::optional<bool> m_present;
};

} // namespace talvo::stamp
