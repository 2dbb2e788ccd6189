#pragma once

#include "DesktopAssociations.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class QWidget;

namespace talvo {

// "Open" of a certificate file: the desktop's certificate viewer, asked for and started on a
// thread of its own, so that the user-interface thread never waits for the desktop. Where the
// desktop names none, the one it names cannot start, or it has not answered by the deadline,
// our own certificate window shows the file: the press never ends in nothing.
class CertificateViewerLaunch : public QObject {
    Q_OBJECT
public:
    // The launch and our window belong to the owner (the main window) where there is one;
    // without one the launch ends itself.
    static void start(const QString& path, std::shared_ptr<DesktopAssociations> desktop,
                      std::chrono::milliseconds deadline, QWidget* owner);
    ~CertificateViewerLaunch() override;

    // The MIME types under which a desktop may register a viewer for this certificate file:
    // the file's own type first where it is a certificate's, then the two names in use for
    // X.509 certificates.
    static QStringList certificateMimeTypes(const QString& path);

private:
    struct Shared;

    CertificateViewerLaunch(const QString& path, QWidget* owner);
    void onAnswer(bool viewerStarted);
    void finish(bool viewerStarted);

    QString m_path;
    QTimer m_deadline;
    std::shared_ptr<Shared> m_shared;
};

} // namespace talvo
