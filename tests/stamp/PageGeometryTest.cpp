#include "stamp/window/PageGeometry.h"

#include <gtest/gtest.h>

namespace talvo::stamp {
namespace {

constexpr double kTolerance = 1e-3;
const QRectF kA4(0, 0, 595, 842);
const QRectF kCropped(10, 20, 500, 700);
// A point 10 mm right of and 20 mm below the shown page's top-left corner.
const QPointF kMm(10, 20);

void expectNear(const QPointF& actual, const QPointF& expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), kTolerance);
    EXPECT_NEAR(actual.y(), expected.y(), kTolerance);
}

TEST(PageGeometry, MillimetresPointsAndPixelsAtZoomsAndTurns)
{
    const struct {
        const char* name;
        QRectF cropBox;
        int rotation;
        double pixelsPerPoint;
        QPointF points;
        QPointF pixels;
        QSize shownPixels;
    } cases[] = {
        {"upright", kA4, 0, 1, {28.3465, 785.3071}, {28.3465, 56.6929}, {595, 842}},
        {"upright zoomed", kA4, 0, 2.5, {28.3465, 785.3071}, {70.8661, 141.7323}, {1488, 2105}},
        {"quarter turn", kA4, 90, 1.5, {56.6929, 28.3465}, {42.5197, 85.0394}, {1263, 893}},
        {"upside down, cropped", kCropped, 180, 0.5, {481.6535, 76.6929}, {14.1732, 28.3465}, {250, 350}},
        {"three quarters, cropped", kCropped, 270, 1, {453.3071, 691.6535}, {28.3465, 56.6929}, {700, 500}},
        {"turned past a full circle", kA4, 450, 1, {56.6929, 28.3465}, {28.3465, 56.6929}, {842, 595}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PageGeometry geometry(c.cropBox, c.rotation, c.pixelsPerPoint);
        expectNear(geometry.pointsFromMm(kMm), c.points);
        expectNear(geometry.pixelsFromMm(kMm), c.pixels);
        EXPECT_EQ(geometry.shownSizePixels(), c.shownPixels);
        expectNear(geometry.mmFromPixels(geometry.pixelsFromMm(kMm)), kMm);
        EXPECT_NEAR(geometry.mmFromPixels(geometry.pixelsFromMm(40.0)), 40.0, kTolerance);
    }
}

} // namespace
} // namespace talvo::stamp
