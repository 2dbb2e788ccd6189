#pragma once

#include <QString>
#include <QStringList>

namespace talvo {

// The desktop entry ("org.gnome.gcr-viewer.desktop") that the user's desktop opens files of
// this MIME type with, as xdg-mime reports it; empty when none is registered or xdg-mime is
// not there to ask.
QString desktopApplicationFor(const QString& mimeType);

// The MIME types under which a desktop may register a viewer for this certificate file: the
// file's own type first, then the two names in use for X.509 certificates.
QStringList certificateMimeTypes(const QString& path);

} // namespace talvo
