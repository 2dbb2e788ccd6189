#include "QtInteraction.h"

#include "CertificateViewerLaunch.h"
#include "GioDesktopAssociations.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace talvo {

namespace {

QMessageBox::Icon toQtIcon(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Error:
        return QMessageBox::Critical;
    case BoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtInteraction::QtInteraction() : QtInteraction(std::make_shared<GioDesktopAssociations>(), kViewerDeadline) {}

QtInteraction::QtInteraction(std::shared_ptr<DesktopAssociations> desktop,
                             std::chrono::milliseconds viewerDeadline)
    : m_desktop(std::move(desktop)), m_viewerDeadline(viewerDeadline)
{
}

BoxResult QtInteraction::messageBox(const MessageBoxRequest& request)
{
    QMessageBox box(toQtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    request.owner.data());
    // Boxes show texts from the key and from files; never take them for markup.
    box.setTextFormat(Qt::PlainText);
    if (request.buttons == BoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == BoxResult::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? BoxResult::Yes : BoxResult::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return BoxResult::Ok;
}

std::optional<QString> QtInteraction::fileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(request.owner.data());
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // The original asked neither for an existing file nor before overwriting one.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The descriptions name their patterns already; Qt matches by the pattern part it hides.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(nameFiltersFromWindowsFilter(request.filter));
    if (!request.defaultExtension.isEmpty() && request.defaultExtension != QStringLiteral(".*"))
        dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.initialFileName.isEmpty())
        dialog.selectFile(request.initialFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

int QtInteraction::runModal(QDialog& dialog)
{
    return dialog.exec();
}

bool QtInteraction::shellOpen(const QString& path)
{
    // The tool only ever opens certificates.
    CertificateViewerLaunch::start(path, m_desktop, m_viewerDeadline, mainWindow());
    return true;
}

} // namespace talvo
