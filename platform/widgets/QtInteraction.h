#pragma once

#include "DesktopAssociations.h"
#include "Interaction.h"

#include <chrono>
#include <memory>

namespace talvo {

// The production seam: Qt's message boxes and file dialogs, exec(), and the desktop's
// certificate viewer or else our own certificate window.
class QtInteraction : public Interaction {
public:
    // How long the desktop may take to name and start its viewer before our window shows.
    static constexpr std::chrono::milliseconds kViewerDeadline{1000};

    // The desktop's own associations, through GIO.
    QtInteraction();
    QtInteraction(std::shared_ptr<DesktopAssociations> desktop, std::chrono::milliseconds viewerDeadline);

    BoxResult messageBox(const MessageBoxRequest& request) override;
    std::optional<QString> fileDialog(const FileDialogRequest& request) override;
    int runModal(QDialog& dialog) override;
    // Returns at once: the viewer, or our window, follows when the desktop has answered.
    bool shellOpen(const QString& path) override;

private:
    std::shared_ptr<DesktopAssociations> m_desktop;
    std::chrono::milliseconds m_viewerDeadline;
};

} // namespace talvo
