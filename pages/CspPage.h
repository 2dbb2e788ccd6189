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
