#pragma once

#include <QString>

namespace talvo {

class ErrorReporter;

// Packs a document into a signed, DES-encrypted secure message file and unpacks one, with the
// keys of the provider's default container. Each operation's own failures go to the reporter
// (the cryptographic service page shows them as its boxes, a command-line program prints
// them); the caller reports the overall result.
class SecureMessage {
public:
    explicit SecureMessage(ErrorReporter& reporter) : m_reporter(reporter) {}

    // True when the secure message file has been written completely.
    bool GenerateSecureMessage(const QString& sourcePath, const QString& outputPath);
    // True when the whole target has been written and the signature verified.
    bool ParseSecureMessage(const QString& securePath, const QString& targetPath);

private:
    void showError(const QString& text) const;

    ErrorReporter& m_reporter;
};

} // namespace talvo
