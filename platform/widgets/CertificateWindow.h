#pragma once

#include <QWidget>

namespace talvo {

// A small read-only view of one certificate file, for desktops that register no certificate
// viewer of their own. The file is read once, when the window is made; what it cannot decode
// is said in the window instead of the fields.
class CertificateWindow : public QWidget {
    Q_OBJECT
public:
    explicit CertificateWindow(const QString& path, QWidget* parent = nullptr);

    bool hasCertificate() const { return m_hasCertificate; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_hasCertificate = false;
    bool m_placed = false;
};

} // namespace talvo
