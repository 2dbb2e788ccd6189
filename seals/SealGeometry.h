#pragma once

#include <QPoint>
#include <QSize>

namespace talvo {

// HIMETRIC is 0.01 mm; an inch is 2540 of them. Both directions round to the nearest unit,
// as the picture loader and GetSizeInPixels do.
int himetricFromPixels(int pixels, double dotsPerInch);
int pixelsFromHimetric(int himetric, double dotsPerInch);

// The preview's longer side is at most 300 pixels; proportions are kept with truncating
// integer arithmetic, and a picture is never enlarged.
inline constexpr int kPreviewSide = 300;
QSize fitIntoPreview(QSize picture);

// Centred horizontally in the client area, 10 pixels below its vertical centre, which puts
// the picture inside the preview frame. Halvings truncate toward zero.
inline constexpr int kPreviewDrop = 10;
QPoint previewOrigin(QSize clientArea, QSize picture);

} // namespace talvo
