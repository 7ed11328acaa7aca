// Fitted picture sizes: the limiting side becomes the box side, the other is truncated from
// the extended-precision product.
#include <gtest/gtest.h>

#include "media/picture_fit.h"

namespace {

struct FitCase {
    int width, height, boxWidth, boxHeight;
    int expectedWidth, expectedHeight;
};

TEST(PictureFit, FittedSizes) {
    const FitCase cases[] = {
        {520, 260, 260, 260, 260, 130}, // wide: width limits
        {260, 520, 260, 260, 130, 260}, // tall: height limits
        {100, 50, 260, 260, 260, 130},  // smaller than the box: enlarged
        {11, 55, 260, 260, 51, 260},    // 11 x 260/55 rounds just below 52 in 80 bits
        {55, 11, 260, 260, 260, 51},
        {21, 91, 260, 260, 59, 260},    // exact 60, where double would give 60
        {45, 50, 260, 260, 233, 260},   // exact 234, where double would give 234
        {27, 30, 260, 260, 234, 260},   // exact 234, where double would give 233
        {260, 260, 260, 260, 260, 260}, // squares of every size fill the box
        {1, 1, 260, 260, 260, 260},
        {7, 7, 260, 260, 260, 260},
        {3000, 3000, 260, 260, 260, 260},
        {1600, 1200, 260, 260, 260, 195}, // a camera photo
        {200, 130, 260, 260, 260, 169},
        {260, 173, 260, 260, 260, 173}, // already fitted: unchanged
        {300, 100, 200, 100, 200, 66},  // a box that is not square
        {100, 300, 200, 100, 33, 100},
        {1000, 1, 260, 260, 260, 1}, // a strip keeps one pixel, not zero
        {1, 1000, 260, 260, 1, 260},
    };
    for (const FitCase& c : cases) {
        PictureSize fitted = fitPictureSize(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fitted.width, c.expectedWidth)
            << c.width << " x " << c.height << " into " << c.boxWidth << " x " << c.boxHeight;
        EXPECT_EQ(fitted.height, c.expectedHeight)
            << c.width << " x " << c.height << " into " << c.boxWidth << " x " << c.boxHeight;
    }
}

// Over many tall pictures: the height is always the box's, and the width is the exact
// 260 x width / height truncated, or one pixel less where rounding lands just below a
// whole number; never more.
TEST(PictureFit, NarrowSideNeverExceedsExactValue) {
    for (int width = 1; width <= 260; ++width) {
        // Up to the height that still leaves the narrow side one pixel or more.
        for (int height = width; height <= 600 && height <= 260 * width; height += 7) {
            PictureSize fitted = fitPictureSize(width, height, 260, 260);
            long long exactTimesHeight = 260LL * width; // fitted.width = exact / height
            EXPECT_EQ(fitted.height, 260) << width << " x " << height;
            EXPECT_LE(static_cast<long long>(fitted.width) * height, exactTimesHeight)
                << width << " x " << height;
            EXPECT_GE(static_cast<long long>(fitted.width + 1) * height, exactTimesHeight)
                << width << " x " << height;
        }
    }
}

TEST(PictureFit, NothingToFit) {
    const FitCase cases[] = {
        {0, 50, 260, 260, 0, 0}, {50, 0, 260, 260, 0, 0}, {-5, 50, 260, 260, 0, 0},
        {50, 50, 0, 260, 0, 0},  {50, 50, 260, -1, 0, 0},
    };
    for (const FitCase& c : cases) {
        PictureSize fitted = fitPictureSize(c.width, c.height, c.boxWidth, c.boxHeight);
        EXPECT_EQ(fitted.width, 0)
            << c.width << " x " << c.height << " into " << c.boxWidth << " x " << c.boxHeight;
        EXPECT_EQ(fitted.height, 0)
            << c.width << " x " << c.height << " into " << c.boxWidth << " x " << c.boxHeight;
    }
}

} // namespace
