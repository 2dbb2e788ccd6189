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
    // A window must not wait on a named pipe that has no peer yet; a script may.
    enum class PipeOpening { WaitForPeer, AnswerAtOnce };

    explicit SecureMessage(ErrorReporter& reporter, PipeOpening pipes = PipeOpening::WaitForPeer)
        : m_reporter(reporter), m_pipes(pipes)
    {
    }

    // True when the secure message file has been written completely.
    bool GenerateSecureMessage(const QString& sourcePath, const QString& outputPath);
    // True when the whole target has been written and the signature verified.
    bool ParseSecureMessage(const QString& securePath, const QString& targetPath);

private:
    void showError(const QString& text) const;

    ErrorReporter& m_reporter;
    PipeOpening m_pipes;
};

} // namespace talvo
