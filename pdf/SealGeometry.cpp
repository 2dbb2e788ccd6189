#include "SealGeometry.h"

#include <cmath>

namespace talvo::pdf {

double millimetresToPoints(double mm)
{
    return mm * 72.0 / 25.4;
}

std::optional<SealFrame> sealFrame(const PdfRect& cropBox, int rotate, double centreXMm, double centreYMm,
                                   double widthMm, double pictureAspect)
{
    const double left = std::min(cropBox.left, cropBox.right);
    const double right = std::max(cropBox.left, cropBox.right);
    const double bottom = std::min(cropBox.bottom, cropBox.top);
    const double top = std::max(cropBox.bottom, cropBox.top);
    const double pageWidth = right - left;
    const double pageHeight = top - bottom;
    if (!(widthMm > 0) || !(pictureAspect > 0) || !(pageWidth > 0) || !(pageHeight > 0))
        return std::nullopt;
    const int turns = ((rotate / 90) % 4 + 4) % 4;
    const bool sideways = turns % 2 == 1;
    const double shownWidth = sideways ? pageHeight : pageWidth;
    const double shownHeight = sideways ? pageWidth : pageHeight;
    const double u = millimetresToPoints(centreXMm);
    const double v = millimetresToPoints(centreYMm);
    if (!(u >= 0 && u <= shownWidth && v >= 0 && v <= shownHeight))
        return std::nullopt;

    // The reader turns the page clockwise by the rotation; undo that for the centre.
    double x = 0;
    double y = 0;
    switch (turns) {
    case 0:
        x = left + u;
        y = top - v;
        break;
    case 1:
        x = left + v;
        y = bottom + u;
        break;
    case 2:
        x = right - u;
        y = bottom + v;
        break;
    default:
        x = right - v;
        y = top - u;
        break;
    }

    SealFrame frame;
    frame.width = millimetresToPoints(widthMm);
    frame.height = frame.width / pictureAspect;
    const double across = sideways ? frame.height : frame.width;
    const double up = sideways ? frame.width : frame.height;
    frame.rect = {x - across / 2, y - up / 2, x + across / 2, y + up / 2};
    // Counter-clockwise by the page's rotation, so that the reader's clockwise turn rights it.
    static constexpr double kCos[4] = {1, 0, -1, 0};
    static constexpr double kSin[4] = {0, 1, 0, -1};
    frame.matrix[0] = kCos[turns];
    frame.matrix[1] = kSin[turns];
    frame.matrix[2] = -kSin[turns];
    frame.matrix[3] = kCos[turns];
    return frame;
}

} // namespace talvo::pdf
