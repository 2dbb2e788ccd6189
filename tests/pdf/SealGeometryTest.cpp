#include "pdf/SealGeometry.h"

#include <gtest/gtest.h>

namespace talvo::testing {
namespace {

using pdf::PdfRect;

// Where a point of user space appears on the page as a reader shows it (turned clockwise by
// the rotation), in points from the shown page's top-left corner.
struct Shown {
    double u;
    double v;
};

Shown shownAt(const PdfRect& crop, int turns, double x, double y)
{
    const double width = crop.right - crop.left;
    const double height = crop.top - crop.bottom;
    const double dx = x - crop.left;
    const double dy = crop.top - y;
    switch (turns) {
    case 0:
        return {dx, dy};
    case 1:
        return {height - dy, dx};
    case 2:
        return {width - dx, height - dy};
    default:
        return {dy, width - dx};
    }
}

// A direction of user space as the reader shows it (down is positive).
Shown shownDirection(int turns, double ax, double ay)
{
    switch (turns) {
    case 0:
        return {ax, -ay};
    case 1:
        return {ay, ax};
    case 2:
        return {-ax, ay};
    default:
        return {-ay, -ax};
    }
}

struct FrameCase {
    int rotate;
    int turns;
};

TEST(SealGeometry, PlacesTheCentreAndKeepsThePictureUprightForEveryRotation)
{
    const PdfRect crop{20, 30, 632, 822}; // an offset crop box, 612 x 792
    const double mm = 72.0 / 25.4;
    for (const FrameCase& rotation : {FrameCase{0, 0}, FrameCase{90, 1}, FrameCase{180, 2}, FrameCase{270, 3},
                                      FrameCase{-90, 3}, FrameCase{450, 1}}) {
        SCOPED_TRACE(rotation.rotate);
        const std::optional<pdf::SealFrame> frame = pdf::sealFrame(crop, rotation.rotate, 50, 70, 40, 2.0);
        ASSERT_TRUE(frame);
        const Shown centre = shownAt(crop, rotation.turns, (frame->rect.left + frame->rect.right) / 2,
                                     (frame->rect.bottom + frame->rect.top) / 2);
        EXPECT_NEAR(centre.u, 50 * mm, 1e-6);
        EXPECT_NEAR(centre.v, 70 * mm, 1e-6);
        const bool sideways = rotation.turns % 2 == 1;
        EXPECT_NEAR(frame->rect.right - frame->rect.left, (sideways ? 20 : 40) * mm, 1e-6);
        EXPECT_NEAR(frame->rect.top - frame->rect.bottom, (sideways ? 40 : 20) * mm, 1e-6);
        EXPECT_NEAR(frame->width, 40 * mm, 1e-6);
        EXPECT_NEAR(frame->height, 20 * mm, 1e-6);
        // The appearance's right and up, as the reader shows them.
        const double* m = frame->matrix;
        const Shown right = shownDirection(rotation.turns, m[0], m[1]);
        const Shown up = shownDirection(rotation.turns, m[2], m[3]);
        EXPECT_NEAR(right.u, 1, 1e-9);
        EXPECT_NEAR(right.v, 0, 1e-9);
        EXPECT_NEAR(up.u, 0, 1e-9);
        EXPECT_NEAR(up.v, -1, 1e-9);
    }
}

TEST(SealGeometry, RefusesACentreOffTheShownPageAndSizesThatAreNone)
{
    const PdfRect crop{0, 0, 612, 792}; // 215.9 x 279.4 mm
    EXPECT_TRUE(pdf::sealFrame(crop, 0, 215.8, 279.3, 40, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 0, 216, 100, 40, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 0, 100, 280, 40, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 0, -0.1, 100, 40, 1));
    // Turned, the page is 279.4 mm wide and 215.9 mm high.
    EXPECT_TRUE(pdf::sealFrame(crop, 90, 270, 100, 40, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 90, 100, 250, 40, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 0, 100, 100, 0, 1));
    EXPECT_FALSE(pdf::sealFrame(crop, 0, 100, 100, 40, 0));
    EXPECT_FALSE(pdf::sealFrame(PdfRect{0, 0, 0, 792}, 0, 0, 100, 40, 1));
}

} // namespace
} // namespace talvo::testing
