#include "CertificateViewerLaunch.h"

#include "CertificateWindow.h"

#include <QMimeDatabase>
#include <QWidget>

#include <mutex>
#include <system_error>
#include <thread>

namespace talvo {

// What the asking thread and the launch share. The launch clears the receiver, under the
// lock, when it stops listening, so the thread never reaches a launch that is gone; a
// thread still stuck in the desktop then ends alone, without starting anything.
struct CertificateViewerLaunch::Shared {
    std::mutex mutex;
    CertificateViewerLaunch* receiver = nullptr;
};

CertificateViewerLaunch::CertificateViewerLaunch(const QString& path, QWidget* owner)
    : QObject(owner), m_path(path), m_shared(std::make_shared<Shared>())
{
    m_shared->receiver = this;
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(false); });
}

CertificateViewerLaunch::~CertificateViewerLaunch()
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->receiver = nullptr;
}

void CertificateViewerLaunch::start(const QString& path, std::shared_ptr<DesktopAssociations> desktop,
                                    std::chrono::milliseconds deadline, QWidget* owner)
{
    // Owned by the owner, or by itself until it finishes.
    auto* launch = new CertificateViewerLaunch(path, owner);
    launch->m_deadline.start(deadline);
    try {
        std::thread([shared = launch->m_shared, desktop = std::move(desktop), path,
                     types = certificateMimeTypes(path)] {
            const QString application = desktop->defaultApplication(types);
            {
                const std::lock_guard lock(shared->mutex);
                if (!shared->receiver)
                    return;
            }
            const bool started = !application.isEmpty() && desktop->launch(application, path);
            const std::lock_guard lock(shared->mutex);
            if (CertificateViewerLaunch* receiver = shared->receiver)
                QMetaObject::invokeMethod(
                    receiver, [receiver, started] { receiver->onAnswer(started); }, Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error&) {
        launch->finish(false);
    }
}

void CertificateViewerLaunch::onAnswer(bool viewerStarted)
{
    if (m_deadline.isActive())
        finish(viewerStarted);
}

void CertificateViewerLaunch::finish(bool viewerStarted)
{
    m_deadline.stop();
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->receiver = nullptr;
    }
    if (!viewerStarted) {
        // It goes with the main window, and stays usable while the main window is modal.
        auto* window = new CertificateWindow(m_path, qobject_cast<QWidget*>(parent()));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    }
    deleteLater();
}

QStringList CertificateViewerLaunch::certificateMimeTypes(const QString& path)
{
    const QString certificate = QStringLiteral("application/pkix-cert");
    const QMimeType own = QMimeDatabase().mimeTypeForFile(path);
    QStringList types;
    // The file's own type counts only where it is a certificate's: what a desktop opens
    // text/plain with is no certificate viewer.
    if (own.inherits(certificate))
        types << own.name();
    types << certificate << QStringLiteral("application/x-x509-ca-cert");
    types.removeDuplicates();
    return types;
}

} // namespace talvo
