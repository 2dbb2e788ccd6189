#pragma once

#include "DesktopAssociations.h"

namespace talvo {

// The desktop's associations through GIO, in-process: the shared MIME database and the
// desktop entries, with no helper process to wait for.
class GioDesktopAssociations : public DesktopAssociations {
public:
    QString defaultApplication(const QStringList& mimeTypes) override;
    bool launch(const QString& desktopEntry, const QString& path) override;
};

} // namespace talvo
