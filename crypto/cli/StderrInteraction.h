#pragma once

#include "platform/Interaction.h"

#include <string>

namespace talvo {

// The seam for a program without windows: a box becomes one line on standard error, in the
// operator's locale, and is answered with its default button. Nothing else can be asked.
class StderrInteraction : public Interaction {
public:
    explicit StderrInteraction(std::string programName);

    BoxResult messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    int runModal(QDialog& dialog) override;
    bool shellOpen(const QString& path) override;

    // The line as the terminal shows it: the locale's character set when it is neither UTF-8
    // nor plain ASCII and can hold the text, else UTF-8.
    static std::string inLocaleEncoding(const QString& text);

private:
    std::string m_programName;
};

} // namespace talvo
