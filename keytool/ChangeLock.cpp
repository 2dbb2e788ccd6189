#include "ChangeLock.h"

#include "platform/core/NativePath.h"
#include "platform/core/PrivateDirectory.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace talvo::keytool {

namespace {

// Long enough for any other run's change to end; a run that holds it longer is stopped or
// hung, and waiting for it without a word would hang every script behind it.
constexpr std::chrono::seconds kLongestWait{10};
constexpr std::chrono::milliseconds kRetryInterval{50};

} // namespace

ChangeLock::~ChangeLock()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool ChangeLock::acquire(QString* error)
{
    const QString directory = privateStateDirectory();
    if (directory.isEmpty()) {
        *error = QStringLiteral("no private directory for the lock file talvo-key.lock");
        return false;
    }
    const QString path = directory + QStringLiteral("/talvo-key.lock");
    m_descriptor = ::open(encodeNativePath(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    struct stat info {};
    if (m_descriptor < 0 || ::fstat(m_descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = QStringLiteral("cannot open the lock file %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(m_descriptor < 0 ? errno : EINVAL)));
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (::flock(m_descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            *error =
                QStringLiteral("cannot lock %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            *error =
                QStringLiteral("%1 is locked by another talvo-key run (waited %2 s); nothing was changed")
                    .arg(path)
                    .arg(kLongestWait.count());
            return false;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
    return true;
}

} // namespace talvo::keytool
