#include "CertificateWindow.h"

#include "WindowPlacement.h"
#include "platform/core/CertificateDetails.h"
#include "platform/core/VisibleText.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace talvo {

namespace {

// Selectable but not editable, so a fingerprint can be copied and compared; wide enough to
// show the whole value, up to a limit. A longer value (a forged 8 KiB serial number, say) wraps
// within that width instead of widening the window past every screen, and stays selectable
// whole. Control and reordering characters show escaped: a subject cannot turn itself around.
QWidget* valueField(const CertificateField& field, const QFont& fixed, QWidget* parent)
{
    const QString value = visibleText(field.value);
    const QFontMetrics metrics(field.hexadecimal ? fixed : parent->font());
    constexpr int kFrameAndMargins = 24;
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const int widest = std::min(digit * 128, parent->screen()->availableGeometry().width() * 3 / 4);
    const int wanted = std::max(digit * 48, metrics.horizontalAdvance(value) + kFrameAndMargins);
    if (wanted <= widest) {
        auto* edit = new QLineEdit(value, parent);
        edit->setReadOnly(true);
        if (field.hexadecimal)
            edit->setFont(fixed);
        edit->setMinimumWidth(wanted);
        edit->setCursorPosition(0);
        return edit;
    }
    auto* text = new QPlainTextEdit(value, parent);
    text->setReadOnly(true);
    if (field.hexadecimal)
        text->setFont(fixed);
    const QTextOption::WrapMode wrap =
        field.hexadecimal ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    text->setWordWrapMode(wrap);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setFixedWidth(widest);
    // As many lines as the value takes at the width it is laid out in, four at most; beyond
    // that it scrolls.
    const int margins = 2 * text->frameWidth() + 2 * static_cast<int>(text->document()->documentMargin());
    const int layoutWidth = widest - margins - text->verticalScrollBar()->sizeHint().width();
    const int flags = wrap == QTextOption::WrapAnywhere ? Qt::TextWrapAnywhere : Qt::TextWordWrap;
    const int height = metrics.boundingRect(QRect(0, 0, layoutWidth, 1 << 20), flags, value).height();
    const int lines = std::clamp((height + metrics.lineSpacing() - 1) / metrics.lineSpacing(), 1, 4);
    text->setFixedHeight(metrics.lineSpacing() * lines + margins + 2);
    return text;
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
                                        : QStringLiteral("证书 - %1").arg(visibleText(commonName)));
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

void CertificateWindow::showEvent(QShowEvent* event)
{
    // Placed once, before it is first mapped: afterwards where it is is the operator's choice.
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        centreOnOwner(*this, parentWidget());
    }
    QWidget::showEvent(event);
}

} // namespace talvo
