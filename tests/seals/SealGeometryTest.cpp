#include "seals/SealGeometry.h"

#include <gtest/gtest.h>

using namespace talvo;

TEST(PreviewFitting, FitsTheLongerSideInto300Pixels)
{
    EXPECT_EQ(fitIntoPreview({400, 200}), QSize(300, 150));
    EXPECT_EQ(fitIntoPreview({200, 400}), QSize(150, 300));
    EXPECT_EQ(fitIntoPreview({1000, 1000}), QSize(300, 300));
    EXPECT_EQ(fitIntoPreview({2000, 2000}), QSize(300, 300));
}

TEST(PreviewFitting, NeverEnlarges)
{
    EXPECT_EQ(fitIntoPreview({120, 80}), QSize(120, 80));
    EXPECT_EQ(fitIntoPreview({300, 300}), QSize(300, 300));
    EXPECT_EQ(fitIntoPreview({300, 10}), QSize(300, 10));
    EXPECT_EQ(fitIntoPreview({0, 0}), QSize(0, 0));
}

TEST(PreviewFitting, TruncatesTheShorterSide)
{
    EXPECT_EQ(fitIntoPreview({1000, 333}), QSize(300, 99));
    EXPECT_EQ(fitIntoPreview({333, 1000}), QSize(99, 300));
    EXPECT_EQ(fitIntoPreview({301, 1}), QSize(300, 0));
    // Sides far beyond any screen do not overflow the arithmetic.
    EXPECT_EQ(fitIntoPreview({30000, 20000}), QSize(300, 200));
}

TEST(PreviewPlacement, CentresHorizontallyAndDrops10Pixels)
{
    EXPECT_EQ(previewOrigin({420, 380}, {300, 150}), QPoint(60, 125));
    EXPECT_EQ(previewOrigin({420, 380}, {120, 80}), QPoint(150, 160));
    // Each halving truncates on its own.
    EXPECT_EQ(previewOrigin({421, 381}, {301, 151}), QPoint(60, 125));
    EXPECT_EQ(previewOrigin({100, 100}, {300, 300}), QPoint(-100, -90));
}

TEST(HimetricUnits, RoundBothWays)
{
    EXPECT_EQ(himetricFromPixels(400, 96), 10583);
    EXPECT_EQ(pixelsFromHimetric(10583, 96), 400);
    EXPECT_EQ(himetricFromPixels(1, 96), 26);
    EXPECT_EQ(pixelsFromHimetric(26, 96), 1);
    EXPECT_EQ(himetricFromPixels(96, 96), 2540);
    // The same extent is more pixels on a denser device.
    EXPECT_EQ(pixelsFromHimetric(10583, 120), 500);
    EXPECT_EQ(pixelsFromHimetric(10583, 192), 800);
    EXPECT_EQ(himetricFromPixels(5, 0), 0);
}

TEST(HimetricUnits, RoundTripKeepsEveryPixelSizeAtTheSameResolution)
{
    for (const double dpi : {96.0, 120.0, 144.0, 72.0}) {
        for (int pixels = 0; pixels <= 4000; ++pixels)
            ASSERT_EQ(pixelsFromHimetric(himetricFromPixels(pixels, dpi), dpi), pixels) << dpi;
    }
}
