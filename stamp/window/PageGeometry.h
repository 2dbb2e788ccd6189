#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace talvo::stamp {

// One page's three frames: millimetres from the top-left corner of the page as a reader shows
// it (after /Rotate, within the crop box), the page's own points (PDF user space, origin at
// the bottom left, before /Rotate) and the view's pixels at a zoom.
class PageGeometry {
public:
    static constexpr double kPointsPerMm = 72.0 / 25.4;

    // cropBox in the page's own points, (x, y) its lower-left corner; rotation clockwise, a multiple of 90
    // (others count as the nearest lower one); pixelsPerPoint the zoom as the view draws it.
    PageGeometry(const QRectF& cropBox, int rotation, double pixelsPerPoint);

    int rotation() const { return m_rotation; }
    double pixelsPerPoint() const { return m_pixelsPerPoint; }

    QSizeF shownSizePoints() const;
    QSizeF shownSizeMm() const;
    QSize shownSizePixels() const;

    QPointF pointsFromMm(const QPointF& mm) const;
    QPointF pixelsFromMm(const QPointF& mm) const;
    QPointF mmFromPixels(const QPointF& pixels) const;
    double pixelsFromMm(double mm) const;
    double mmFromPixels(double pixels) const;

private:
    QRectF m_cropBox;
    int m_rotation;
    double m_pixelsPerPoint;
};

} // namespace talvo::stamp
