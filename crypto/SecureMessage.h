#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace talvo {

// Packs a document into a signed, DES-encrypted secure message file and unpacks one, with the
// keys of the provider's default container. The owner (the cryptographic service page) owns
// the operations' own message boxes; the caller reports the overall result.
class SecureMessage {
public:
    explicit SecureMessage(QWidget* owner);

    // True when the secure message file has been written completely.
    bool GenerateSecureMessage(const QString& sourcePath, const QString& outputPath);
    // True when the whole target has been written and the signature verified.
    bool ParseSecureMessage(const QString& securePath, const QString& targetPath);

private:
    void showError(const QString& text) const;

    QPointer<QWidget> m_owner;
};

} // namespace talvo
