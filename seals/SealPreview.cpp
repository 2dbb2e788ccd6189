#include "SealPreview.h"

#include "SealGeometry.h"
#include "SealPicture.h"

#include <QPainter>

namespace talvo {

bool drawSealPreview(QPainter& painter, const QString& picturePath, QSize clientArea)
{
    SealPicture picture;
    if (!picture.LoadFromFile(picturePath))
        return false;
    // Sized at the screen's resolution, as the list has always measured its pictures.
    const QSize size = fitIntoPreview(picture.GetSizeInPixels());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    picture.Draw(painter, QRect(previewOrigin(clientArea, size), size));
    return true;
}

} // namespace talvo
