#include "PageGeometry.h"

#include "pdf/SealGeometry.h"

#include <cmath>

namespace talvo::stamp {

namespace {

int normalisedRotation(int rotation)
{
    const int quarter = ((rotation % 360) + 360) % 360 / 90;
    return quarter * 90;
}

} // namespace

PageGeometry::PageGeometry(const QRectF& cropBox, int rotation, double pixelsPerPoint)
    : m_cropBox(cropBox), m_rotation(normalisedRotation(rotation)), m_pixelsPerPoint(pixelsPerPoint)
{
}

QSizeF PageGeometry::shownSizePoints() const
{
    const QSizeF size = m_cropBox.size();
    return m_rotation % 180 == 0 ? size : size.transposed();
}

QSizeF PageGeometry::shownSizeMm() const
{
    return shownSizePoints() / kPointsPerMm;
}

QSize PageGeometry::shownSizePixels() const
{
    const QSizeF pixels = shownSizePoints() * m_pixelsPerPoint;
    return {static_cast<int>(std::lround(pixels.width())), static_cast<int>(std::lround(pixels.height()))};
}

// A shown point (sx, sy), in points from the top left, against the page's own frame: turning
// the page clockwise brings its bottom-left corner to the top left at 90, and so on round.
QPointF PageGeometry::pointsFromMm(const QPointF& mm) const
{
    // The sealing library's own mapping, so that a seal lands where the view showed it.
    const pdf::PdfPoint point =
        pdf::userSpaceFromShownMm({m_cropBox.left(), m_cropBox.top(), m_cropBox.left() + m_cropBox.width(),
                                   m_cropBox.top() + m_cropBox.height()},
                                  m_rotation, mm.x(), mm.y());
    return {point.x, point.y};
}

QPointF PageGeometry::pixelsFromMm(const QPointF& mm) const
{
    return mm * kPointsPerMm * m_pixelsPerPoint;
}

QPointF PageGeometry::mmFromPixels(const QPointF& pixels) const
{
    return pixels / (kPointsPerMm * m_pixelsPerPoint);
}

double PageGeometry::pixelsFromMm(double mm) const
{
    return mm * kPointsPerMm * m_pixelsPerPoint;
}

double PageGeometry::mmFromPixels(double pixels) const
{
    return pixels / (kPointsPerMm * m_pixelsPerPoint);
}

} // namespace talvo::stamp
