#include "CertificateWindow.h"

#include "CertificateDetails.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace talvo {

namespace {

// Selectable but not editable, so a fingerprint can be copied and compared; wide enough to
// show the whole value.
QLineEdit* valueField(const CertificateField& field, const QFont& fixed, QWidget* parent)
{
    auto* edit = new QLineEdit(field.value, parent);
    edit->setReadOnly(true);
    if (field.hexadecimal)
        edit->setFont(fixed);
    const QFontMetrics metrics = edit->fontMetrics();
    constexpr int kFrameAndMargins = 24;
    edit->setMinimumWidth(std::max(metrics.horizontalAdvance(QLatin1Char('0')) * 48,
                                   metrics.horizontalAdvance(field.value) + kFrameAndMargins));
    edit->setCursorPosition(0);
    return edit;
}

} // namespace

CertificateWindow::CertificateWindow(const QString& path, QWidget* parent) : QWidget(parent, Qt::Window)
{
    auto* layout = new QVBoxLayout(this);

    QString error;
    const std::optional<CertificateDetails> details = readCertificateFile(path, &error);
    m_hasCertificate = details.has_value();
    // Named by whom it was issued to; the file is only a temporary one.
    const QString commonName = details ? details->subjectCommonName : QString();
    setWindowTitle(commonName.isEmpty() ? QStringLiteral("证书")
                                        : QStringLiteral("证书 - %1").arg(commonName));
    if (details) {
        auto* form = new QFormLayout;
        layout->addLayout(form);
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        for (const CertificateField& field : certificateFields(*details))
            form->addRow(field.label + QStringLiteral("："), valueField(field, fixed, this));
    } else {
        auto* message = new QLabel(QStringLiteral("无法显示证书 %1\n%2").arg(path, error), this);
        message->setTextFormat(Qt::PlainText);
        message->setWordWrap(true);
        message->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(message);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::AcceptRole);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    close->setDefault(true);
    close->setFocus();
    // Esc closes it as Enter does, as in a dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    layout->addWidget(buttons);
}

} // namespace talvo
