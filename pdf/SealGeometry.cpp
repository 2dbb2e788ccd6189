#include "SealGeometry.h"

#include <algorithm>
#include <cmath>

namespace talvo::pdf {

double millimetresToPoints(double mm)
{
    return mm * 72.0 / 25.4;
}

namespace {

// The crop box with its edges in order, however the file wrote them.
PdfRect ordered(const PdfRect& box)
{
    return {std::min(box.left, box.right), std::min(box.bottom, box.top), std::max(box.left, box.right),
            std::max(box.bottom, box.top)};
}

int quarterTurns(int rotate)
{
    return ((rotate / 90) % 4 + 4) % 4;
}

} // namespace

PdfPoint userSpaceFromShownMm(const PdfRect& cropBox, int rotate, double xMm, double yMm)
{
    const PdfRect box = ordered(cropBox);
    const double u = millimetresToPoints(xMm);
    const double v = millimetresToPoints(yMm);
    // The reader turns the page clockwise by the rotation; undo that.
    switch (quarterTurns(rotate)) {
    case 0:
        return {box.left + u, box.top - v};
    case 1:
        return {box.left + v, box.bottom + u};
    case 2:
        return {box.right - u, box.bottom + v};
    default:
        return {box.right - v, box.top - u};
    }
}

std::optional<SealFrame> sealFrame(const PdfRect& cropBox, int rotate, double centreXMm, double centreYMm,
                                   double widthMm, double pictureAspect)
{
    const PdfRect box = ordered(cropBox);
    const double pageWidth = box.right - box.left;
    const double pageHeight = box.top - box.bottom;
    if (!(widthMm > 0) || !(pictureAspect > 0) || !(pageWidth > 0) || !(pageHeight > 0))
        return std::nullopt;
    const int turns = quarterTurns(rotate);
    const bool sideways = turns % 2 == 1;
    const double shownWidth = sideways ? pageHeight : pageWidth;
    const double shownHeight = sideways ? pageWidth : pageHeight;
    const double u = millimetresToPoints(centreXMm);
    const double v = millimetresToPoints(centreYMm);
    if (!(u >= 0 && u <= shownWidth && v >= 0 && v <= shownHeight))
        return std::nullopt;
    const PdfPoint centre = userSpaceFromShownMm(box, rotate, centreXMm, centreYMm);

    SealFrame frame;
    frame.width = millimetresToPoints(widthMm);
    frame.height = frame.width / pictureAspect;
    const double across = sideways ? frame.height : frame.width;
    const double up = sideways ? frame.width : frame.height;
    frame.rect = {centre.x - across / 2, centre.y - up / 2, centre.x + across / 2, centre.y + up / 2};
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
