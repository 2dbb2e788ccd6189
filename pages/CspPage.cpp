#include "CspPage.h"

#include "CertExportDialog.h"
#include "crypto/SecureMessage.h"
#include "device/DriverConventions.h"
#include "device/KeyDriverBinding.h"
#include "key/CertificateOperations.h"
#include "key/DeviceOperations.h"
#include "key/OperatorTexts.h"
#include "key/PinOperations.h"
#include "platform/core/Cp936Codec.h"
#include "platform/core/DebugTrace.h"
#include "platform/core/NativePath.h"
#include "platform/core/PrivateDirectory.h"
#include "platform/core/PrivateFile.h"
#include "platform/widgets/FileErrorBox.h"
#include "platform/widgets/Interaction.h"
#include "platform/widgets/WindowBoxReporter.h"
#include "resources/DialogTemplates.h"

#include <QCloseEvent>
#include <QFile>

namespace talvo {

namespace C = ids::csp;

namespace {

const QString kDocumentFilter =
    QStringLiteral("文档文件(*.txt;*.pdf;*.doc;*d.docx)|*.txt;*.pdf;*.doc;*.docx|全部文件(*.*)|*.*||");
const QString kSecureFileFilter = QStringLiteral("安全文件(*.sec)|*.sec||");
const QString kIncompleteText = QStringLiteral("输入不完整!");
const QString kSucceededText = QStringLiteral("生成安全报文成功!");
const QString kFailedText = QStringLiteral("生成安全报文失败!");

QString bytesAsText(const TwoCallRead& read)
{
    return fromCp936(reinterpret_cast<const char*>(read.bytes()), read.size());
}

} // namespace

CspPage::CspPage() : BindingPage(IDD_CSP)
{
    onClicked(C::HashButton, [this] { onHash(); });
    onClicked(C::ClearButton, [this] { ClearFields(); });
    onClicked(C::OriginalFileBrowse,
              [this] { browse(true, {}, kDocumentFilter, m_originalFile, C::OriginalFileEdit); });
    onClicked(C::SavePathBrowse, [this] {
        browse(false, QStringLiteral("sec"), kSecureFileFilter, m_savePath, C::SavePathEdit);
    });
    onClicked(C::SecureFileBrowse,
              [this] { browse(true, {}, kSecureFileFilter, m_secureFile, C::SecureFileEdit); });
    onClicked(C::TargetFileBrowse,
              [this] { browse(false, {}, kDocumentFilter, m_targetFile, C::TargetFileEdit); });
    onClicked(C::GenerateButton, [this] { OnButtonGenmsg(); });
    onClicked(C::ParseButton, [this] { onParse(); });
    onClicked(C::CertTextButton, [this] { onCertText(); });
    onClicked(C::ExportCertButton, [this] { onExportCert(); });
    onClicked(C::ViewCertButton, [this] { onViewCert(); });
    onClicked(C::VerifyButton, [this] { onVerify(); });
    onClicked(C::CspNameButton, [this] { onCspName(); });
    onClicked(C::UserKeyButton, [this] { onUserKey(); });
}

bool CspPage::onInitDialog()
{
    showStoredPaths();
    ClearFields();
    return true;
}

void CspPage::closeEvent(QCloseEvent* event)
{
    if (!m_tempCertFile.isEmpty())
        QFile::remove(m_tempCertFile);
    BindingPage::closeEvent(event);
}

void CspPage::showStoredPaths()
{
    setItemText(C::OriginalFileEdit, m_originalFile);
    setItemText(C::SavePathEdit, m_savePath);
    setItemText(C::SecureFileEdit, m_secureFile);
    setItemText(C::TargetFileEdit, m_targetFile);
}

void CspPage::ClearFields()
{
    for (int id : {C::HashEdit, C::PinEdit, C::SignatureEdit, C::OriginalFileEdit, C::SavePathEdit,
                   C::SecureFileEdit, C::TargetFileEdit})
        setItemText(id, QString());
    showStoredPaths();
}

void CspPage::browse(bool open, const QString& defaultExtension, const QString& filter, QString& member,
                     int editId)
{
    FileDialogRequest request;
    request.owner = mainWindow();
    request.open = open;
    request.defaultExtension = defaultExtension;
    request.filter = filter;
    if (const std::optional<QString> chosen = chooseFile(request)) {
        member = *chosen;
        setItemText(editId, member);
    }
}

void CspPage::onHash()
{
    // Six bytes at most, and never half of a double-byte character.
    const std::string typed = toCp936(truncateToCp936Bytes(itemText(C::PinEdit), kPinMaxBytes));
    char hash[kCalcHashBufferSize] = {};
    if (m_binding)
        hashPin(*m_binding, typed, hash);
    setItemText(C::HashEdit, fromCp936(hash, sizeof hash));
}

bool CspPage::GenerateSecureMessage(const QString& sourcePath, const QString& outputPath)
{
    WindowBoxReporter boxes(this);
    return SecureMessage(boxes, SecureMessage::PipeOpening::AnswerAtOnce)
        .GenerateSecureMessage(sourcePath, outputPath);
}

bool CspPage::ParseSecureMessage(const QString& securePath, const QString& targetPath)
{
    WindowBoxReporter boxes(this);
    return SecureMessage(boxes, SecureMessage::PipeOpening::AnswerAtOnce)
        .ParseSecureMessage(securePath, targetPath);
}

void CspPage::OnButtonGenmsg()
{
    if (m_originalFile.isEmpty() || m_savePath.isEmpty()) {
        debugTrace(QStringLiteral("OnButtonGenmsg 输入不完整"));
        windowMessageBox(this, kIncompleteText);
        return;
    }
    if (!GenerateSecureMessage(m_originalFile, m_savePath)) {
        applicationMessageBox(kFailedText);
        return;
    }
    applicationMessageBox(kSucceededText);
    // The stored paths stay: a second press writes the same file again.
    setItemText(C::OriginalFileEdit, QString());
    setItemText(C::SavePathEdit, QString());
}

void CspPage::onParse()
{
    if (m_secureFile.isEmpty() || m_targetFile.isEmpty()) {
        windowMessageBox(this, kIncompleteText);
        return;
    }
    if (!ParseSecureMessage(m_secureFile, m_targetFile)) {
        setItemText(C::SecureFileEdit, QString());
        applicationMessageBox(kFailedText);
        return;
    }
    applicationMessageBox(kSucceededText);
    setItemText(C::SecureFileEdit, QString());
    setItemText(C::TargetFileEdit, QString());
}

void CspPage::onCertText()
{
    if (!m_binding)
        return;
    TwoCallRead certificate(certificateRead(*m_binding));
    if (certificate.askLength() != 0)
        return;
    // What the second call answers is not looked at: its bytes are shown.
    certificate.readBytes();
    if (certificate.refused())
        return;
    windowMessageBox(this, bytesAsText(certificate));
}

void CspPage::onExportCert()
{
    // Without a parent of its own the dialog is a window of the application, not of this page.
    CertExportDialog dialog;
    dialog.setBinding(m_binding);
    dialog.doModal();
}

int CspPage::writeTempCertBytes(const QString& path, const uint8_t* data, std::size_t size)
{
    return writePrivateFile(path, data, size);
}

CspPage::TempCertResult CspPage::WriteTempCertFile()
{
    const QString directory = privateDirectory();
    if (directory.isEmpty()) {
        m_tempCertFile.clear();
        windowMessageBox(this, QStringLiteral("无法建立本用户专用的临时目录，证书无法写出。"), kErrorCaption,
                         BoxIcon::Error);
        return TempCertResult::Abandoned;
    }
    const QString path = directory + QLatin1Char('/') + QString::fromLatin1(kTempCertFileName);
    if (static_cast<std::size_t>(encodeNativePath(path).size()) >= kTempCertPathBufferSize) {
        m_tempCertFile.clear();
        windowMessageBox(this,
                         QStringLiteral("临时证书文件的路径超过 %1 字节，证书无法写出：\n%2")
                             .arg(kTempCertPathBufferSize - 1)
                             .arg(path),
                         kErrorCaption, BoxIcon::Error);
        return TempCertResult::Abandoned;
    }
    m_tempCertFile = path;

    if (!m_binding)
        return TempCertResult::NoCertificate;
    TwoCallRead certificate(certificateRead(*m_binding));
    if (certificate.askLength() != 0 || certificate.readBytes() != 0)
        return TempCertResult::NoCertificate;
    if (const int error = writeTempCertBytes(m_tempCertFile, certificate.bytes(), certificate.size())) {
        showFileErrorBox(m_tempCertFile, error);
        return TempCertResult::Abandoned;
    }
    return TempCertResult::Written;
}

void CspPage::onViewCert()
{
    switch (WriteTempCertFile()) {
    case TempCertResult::Written:
        interaction().shellOpen(m_tempCertFile);
        break;
    case TempCertResult::NoCertificate:
        windowMessageBox(this, kNoCertificateText, kNoticeCaption, BoxIcon::Information);
        break;
    case TempCertResult::Abandoned:
        break;
    }
}

void CspPage::onVerify()
{
    uint8_t verified = 0;
    if (m_binding) {
        // Every step is taken whatever the one before answered; only the verdict is shown.
        TwoCallRead signature(signatureRead(*m_binding));
        signature.askLength();
        signature.readBytes();
        TwoCallRead publicKey(publicKeyRead(*m_binding));
        publicKey.askLength();
        publicKey.readBytes();
        verifySignature(*m_binding, publicKey.bytes(), publicKey.size(), signature.bytes(), signature.size(),
                        verified);
    }
    windowMessageBox(this, verified != 0 ? QStringLiteral("OK") : QStringLiteral("Failed"));
}

void CspPage::onCspName()
{
    windowMessageBox(this, m_binding ? readCspName(*m_binding) : QString());
}

void CspPage::onUserKey()
{
    if (m_binding && userKeyPresent(*m_binding))
        windowMessageBox(this, QStringLiteral("锁存在"));
}

} // namespace talvo
