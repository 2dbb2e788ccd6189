#pragma once

#include <QSize>
#include <QString>

class QPainter;

namespace talvo {

// Decodes the picture file and draws it as the seal list's preview: the longer side fitted
// into 300 pixels, centred in the client area and 10 pixels below its middle. Nothing is
// cached; false when there was no picture to draw.
bool drawSealPreview(QPainter& painter, const QString& picturePath, QSize clientArea);

} // namespace talvo
