#pragma once

#include "BindingPage.h"

#include <QString>

#include <cstddef>

class QCloseEvent;

namespace talvo {

// The second tab: the key's certificate and signature functions and the secure message files.
class CspPage : public BindingPage {
    Q_OBJECT
public:
    enum Control {
        PinEdit = 1025,
        HashEdit = 1008,
        SignatureEdit = 1062,
        OriginalFileEdit = 1078,
        SavePathEdit = 1079,
        SecureFileEdit = 1047,
        TargetFileEdit = 1083,
        HashButton = 1061,
        ClearButton = 1027,
        ExportCertButton = 1063,
        ViewCertButton = 1066,
        CertTextButton = 1064,
        CspNameButton = 1097,
        VerifyButton = 1065,
        OriginalFileBrowse = 1080,
        SavePathBrowse = 1054,
        GenerateButton = 1029,
        SecureFileBrowse = 1084,
        ParseButton = 1030,
        TargetFileBrowse = 1085,
        UserKeyButton = 1087,
    };

    // The temporary certificate path lived in a fixed buffer of this many bytes, terminator
    // included; a longer one is refused rather than cut.
    static constexpr std::size_t kTempCertPathBufferSize = 260;
    static constexpr const char* kTempCertFileName = "__tmpCertFile.cer";

    // How "查看数字证书" ended its first step.
    enum class TempCertResult { Written, NoCertificate, Abandoned };

    CspPage();

    const QString& tempCertFile() const { return m_tempCertFile; }

    void ClearFields();
    TempCertResult WriteTempCertFile();
    bool GenerateSecureMessage(const QString& sourcePath, const QString& outputPath);
    bool ParseSecureMessage(const QString& securePath, const QString& targetPath);

protected:
    bool onInitDialog() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The form only ever shows the stored paths; nothing takes them back from it.
    void showStoredPaths();
    void browse(bool open, const QString& defaultExtension, const QString& filter, QString& member,
                int editId);
    // Where the temporary certificate's bytes are written: returns 0 or the errno.
    static int writeTempCertBytes(const QString& path, const uint8_t* data, std::size_t size);

    void onHash();
    void OnButtonGenmsg();
    void onParse();
    void onCertText();
    void onExportCert();
    void onViewCert();
    void onVerify();
    void onCspName();
    void onUserKey();

    QString m_tempCertFile;
    QString m_originalFile;
    QString m_savePath;
    QString m_secureFile;
    QString m_targetFile;
};

} // namespace talvo
