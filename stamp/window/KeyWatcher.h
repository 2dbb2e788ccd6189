#pragma once

#include "KeySeal.h"

#include <QObject>
#include <QThread>

#include <chrono>
#include <vector>

namespace talvo::stamp {

class StampKey;

// Asks the key every interval, in a thread of its own, whether it is there, and reads its
// seals when it comes: the window follows the key without ever waiting for the driver.
class KeyWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{1000};

    explicit KeyWatcher(StampKey& key, std::chrono::milliseconds interval = kInterval);
    ~KeyWatcher() override;
    KeyWatcher(const KeyWatcher&) = delete;
    KeyWatcher& operator=(const KeyWatcher&) = delete;

Q_SIGNALS:
    // problem: why the seals could not be read, or nothing.
    void keyChanged(bool present, const std::vector<talvo::stamp::KeySeal>& seals, const QString& problem);

private:
    QThread m_thread;
};

} // namespace talvo::stamp
