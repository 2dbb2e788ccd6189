#pragma once

#include <optional>

namespace talvo::pdf {

// A rectangle in the page's default user space, in points.
struct PdfRect {
    double left = 0;
    double bottom = 0;
    double right = 0;
    double top = 0;
};

struct PdfPoint {
    double x = 0;
    double y = 0;
};

// A point given in millimetres from the top-left corner of the page as a reader shows it (its
// crop box turned clockwise by /Rotate), in the page's default user space.
PdfPoint userSpaceFromShownMm(const PdfRect& cropBox, int rotate, double xMm, double yMm);

// Where a seal lands: its widget's rectangle in user space, and the appearance's matrix
// (a, b, c, d) that turns it so that it reads upright however the page is rotated.
struct SealFrame {
    PdfRect rect;
    double width = 0;  // of the appearance's box, as the reader sees it
    double height = 0; // likewise
    double matrix[4] = {1, 0, 0, 1};
};

// The page as a reader shows it: its crop box and its /Rotate (any multiple of 90, negative
// too). Nothing when the seal's centre is not on the shown page, or the sizes are not
// positive.
std::optional<SealFrame> sealFrame(const PdfRect& cropBox, int rotate, double centreXMm, double centreYMm,
                                   double widthMm, double pictureAspect);

double millimetresToPoints(double mm);

} // namespace talvo::pdf
