#include "CertExportDialog.h"

#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "device/StatusText.h"
#include "key/BaseRecord.h"
#include "key/CertificateOperations.h"
#include "key/OperatorTexts.h"
#include "platform/core/CertificateFile.h"
#include "platform/core/Cp936Codec.h"
#include "platform/widgets/FileErrorBox.h"
#include "platform/widgets/Interaction.h"
#include "resources/DialogTemplates.h"

namespace talvo {

namespace E = ids::certExport;

CertExportDialog::CertExportDialog(QWidget* parent) : TemplateDialog(dialogTemplate(IDD_CERT_EXPORT), parent)
{
    onClicked(E::BrowseButton, [this] { onBrowse(); });
    onClicked(E::ExportButton, [this] { onExport(); });
    onClicked(E::CancelButton, [this] { onCancel(); });
}

void CertExportDialog::onOk()
{
    m_exportPath = itemText(E::PathEdit);
    endDialog(IDOK);
}

void CertExportDialog::onBrowse()
{
    FileDialogRequest request;
    request.owner = this;
    request.open = false;
    request.defaultExtension = QStringLiteral("cer");
    request.filter = QStringLiteral("证书文件(*.cer)|*.cer||");
    if (const std::optional<QString> chosen = chooseFile(request)) {
        m_exportPath = *chosen;
        setItemText(E::PathEdit, m_exportPath);
    }
}

void CertExportDialog::showStatusError(int32_t status)
{
    char message[kStatusTextBufferSize] = {};
    GetStatusText(status, message);
    windowMessageBox(this, fromCp936(message, sizeof message), kErrorCaption, BoxIcon::Error);
}

CertExportDialog::ExportResult CertExportDialog::ExportCertificate()
{
    if (!m_binding || !keyPresent(*m_binding)) {
        windowMessageBox(this, kKeyAbsentText, kNoticeCaption, BoxIcon::Information);
        return ExportResult::Failed;
    }
    TwoCallRead certificate(certificateRead(*m_binding));
    int32_t status = certificate.askLength();
    if (status != 0) {
        showStatusError(status);
        return ExportResult::Failed;
    }
    // A length no key gives is not allocated; it reads as the memory failure it would cause.
    status = certificate.readBytes();
    if (status != 0) {
        showStatusError(status);
        return ExportResult::Failed;
    }
    // Created with the user's usual permissions: the file is the operator's own.
    if (const int error = writeCertificateFile(m_exportPath, certificate.bytes(), certificate.size())) {
        showFileErrorBox(m_exportPath, error);
        return ExportResult::Abandoned;
    }
    return ExportResult::Exported;
}

void CertExportDialog::onExport()
{
    m_exportPath = itemText(E::PathEdit);
    if (m_exportPath.isEmpty()) {
        windowMessageBox(this, kExportPathMissingText, kNoticeCaption, BoxIcon::Warning);
        return;
    }
    const ExportResult result = ExportCertificate();
    if (result == ExportResult::Abandoned)
        return;
    windowMessageBox(this, result == ExportResult::Exported ? kCertExportedText : kCertExportFailedText,
                     kNoticeCaption, BoxIcon::Information);
    onOk();
}

} // namespace talvo
