#pragma once

#include "Interaction.h"

namespace talvo {

// The production seam: Qt's message boxes and file dialogs, exec(), and the desktop's
// certificate viewer or else our own certificate window.
class QtInteraction : public Interaction {
public:
    BoxResult messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    int runModal(QDialog& dialog) override;
    bool shellOpen(const QString& path) override;
};

} // namespace talvo
