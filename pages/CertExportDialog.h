#pragma once

#include "platform/widgets/TemplateDialog.h"

#include <QString>

namespace talvo {

class KeyDriverBinding;

// Asks for the file to export the key's certificate to and writes it there. Reaches the key
// only through the binding its opener hands it; without one the key counts as absent.
class CertExportDialog : public TemplateDialog {
    Q_OBJECT
public:
    // How an export ended: the file written, a failure already reported, or the handler
    // abandoned at a file error (the box shown, the dialog left open).
    enum class ExportResult { Exported, Failed, Abandoned };

    explicit CertExportDialog(QWidget* parent = nullptr);

    void setBinding(KeyDriverBinding* binding) { m_binding = binding; }
    KeyDriverBinding* binding() const { return m_binding; }
    const QString& exportPath() const { return m_exportPath; }

    ExportResult ExportCertificate();

protected:
    void onOk() override;

private:
    void onBrowse();
    void onExport();
    void showStatusError(int32_t status);

    KeyDriverBinding* m_binding = nullptr;
    QString m_exportPath;
};

} // namespace talvo
