#pragma once

#include <QString>
#include <QStringList>

namespace talvo {

// What the user's desktop opens files of a type with. Both calls may take long (they read the
// desktop's configuration, and starting may go through its session bus), so they are never
// made on the user-interface thread, and an implementation must bear being called from
// another one.
class DesktopAssociations {
public:
    virtual ~DesktopAssociations() = default;
    // The desktop entry ("org.gnome.gcr-viewer.desktop") for the first of the MIME types that
    // has one; empty when none has.
    virtual QString defaultApplication(const QStringList& mimeTypes) = 0;
    // Starts that application on the file; false when it could not be started.
    virtual bool launch(const QString& desktopEntry, const QString& path) = 0;
};

} // namespace talvo
