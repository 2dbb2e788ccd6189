#include "stamp/window/PageGeometry.h"

#include <gtest/gtest.h>

namespace talvo::stamp {
namespace {

struct GeometryCase {
    const char* name;
    QRectF cropBox;
    int rotation;
    double pixelsPerPoint;
    QPointF mm;
    QPointF points;
    QPointF pixels;
    QSize shownPixels;
};

// A point 10 mm right of and 20 mm below the shown page's top-left corner, on an A4 page and
// on a crop box that does not start at the origin.
const GeometryCase kCases[] = {
    {"upright", {0, 0, 595, 842}, 0, 1, {10, 20}, {28.3465, 785.3071}, {28.3465, 56.6929}, {595, 842}},
    {"upright zoomed",
     {0, 0, 595, 842},
     0,
     2.5,
     {10, 20},
     {28.3465, 785.3071},
     {70.8661, 141.7323},
     {1488, 2105}},
    {"quarter turn",
     {0, 0, 595, 842},
     90,
     1.5,
     {10, 20},
     {56.6929, 28.3465},
     {42.5197, 85.0394},
     {1263, 893}},
    {"upside down, cropped",
     {10, 20, 500, 700},
     180,
     0.5,
     {10, 20},
     {481.6535, 76.6929},
     {14.1732, 28.3465},
     {250, 350}},
    {"three quarters, cropped",
     {10, 20, 500, 700},
     270,
     1,
     {10, 20},
     {453.3071, 691.6535},
     {28.3465, 56.6929},
     {700, 500}},
    {"turned past a full circle",
     {0, 0, 595, 842},
     450,
     1,
     {10, 20},
     {56.6929, 28.3465},
     {28.3465, 56.6929},
     {842, 595}},
};

constexpr double kTolerance = 1e-3;

TEST(PageGeometry, MillimetresPointsAndPixelsAtZoomsAndTurns)
{
    for (const GeometryCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const PageGeometry geometry(c.cropBox, c.rotation, c.pixelsPerPoint);
        const QPointF points = geometry.pointsFromMm(c.mm);
        EXPECT_NEAR(points.x(), c.points.x(), kTolerance);
        EXPECT_NEAR(points.y(), c.points.y(), kTolerance);
        const QPointF pixels = geometry.pixelsFromMm(c.mm);
        EXPECT_NEAR(pixels.x(), c.pixels.x(), kTolerance);
        EXPECT_NEAR(pixels.y(), c.pixels.y(), kTolerance);
        EXPECT_EQ(geometry.shownSizePixels(), c.shownPixels);

        const QPointF backFromPoints = geometry.mmFromPoints(points);
        EXPECT_NEAR(backFromPoints.x(), c.mm.x(), kTolerance);
        EXPECT_NEAR(backFromPoints.y(), c.mm.y(), kTolerance);
        const QPointF backFromPixels = geometry.mmFromPixels(pixels);
        EXPECT_NEAR(backFromPixels.x(), c.mm.x(), kTolerance);
        EXPECT_NEAR(backFromPixels.y(), c.mm.y(), kTolerance);
        EXPECT_NEAR(geometry.mmFromPixels(geometry.pixelsFromMm(40.0)), 40.0, kTolerance);
    }
}

} // namespace
} // namespace talvo::stamp
