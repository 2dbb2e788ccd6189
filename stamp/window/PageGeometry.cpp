#include "PageGeometry.h"

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
    const double sx = mm.x() * kPointsPerMm;
    const double sy = mm.y() * kPointsPerMm;
    const double left = m_cropBox.left();
    const double bottom = m_cropBox.top(); // the box's lower edge in the page's own frame
    const double right = left + m_cropBox.width();
    const double top = bottom + m_cropBox.height();
    switch (m_rotation) {
    case 90:
        return {left + sy, bottom + sx};
    case 180:
        return {right - sx, bottom + sy};
    case 270:
        return {right - sy, top - sx};
    default:
        return {left + sx, top - sy};
    }
}

QPointF PageGeometry::mmFromPoints(const QPointF& points) const
{
    const double left = m_cropBox.left();
    const double bottom = m_cropBox.top();
    const double right = left + m_cropBox.width();
    const double top = bottom + m_cropBox.height();
    QPointF shown;
    switch (m_rotation) {
    case 90:
        shown = {points.y() - bottom, points.x() - left};
        break;
    case 180:
        shown = {right - points.x(), points.y() - bottom};
        break;
    case 270:
        shown = {top - points.y(), right - points.x()};
        break;
    default:
        shown = {points.x() - left, top - points.y()};
        break;
    }
    return shown / kPointsPerMm;
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
