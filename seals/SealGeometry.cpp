#include "SealGeometry.h"

#include <cmath>

namespace talvo {

namespace {

constexpr double kHimetricPerInch = 2540.0;

int roundToInt(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

int himetricFromPixels(int pixels, double dotsPerInch)
{
    if (dotsPerInch <= 0)
        return 0;
    return roundToInt(pixels * kHimetricPerInch / dotsPerInch);
}

int pixelsFromHimetric(int himetric, double dotsPerInch)
{
    return roundToInt(himetric * dotsPerInch / kHimetricPerInch);
}

QSize fitIntoPreview(QSize picture)
{
    // 64-bit products: a side times 300 must not overflow for any size a decoder hands back.
    long long width = picture.width();
    long long height = picture.height();
    if (width > height) {
        if (width > kPreviewSide) {
            height = height * kPreviewSide / width;
            width = kPreviewSide;
        }
    } else if (height > kPreviewSide) {
        width = width * kPreviewSide / height;
        height = kPreviewSide;
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

QPoint previewOrigin(QSize clientArea, QSize picture)
{
    return {clientArea.width() / 2 - picture.width() / 2,
            clientArea.height() / 2 - picture.height() / 2 + kPreviewDrop};
}

} // namespace talvo
