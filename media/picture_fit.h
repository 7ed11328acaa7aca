// The size a picture takes once fitted into a box with its aspect ratio kept.
#pragma once

struct PictureSize {
    int width;
    int height;
};

// The size of a width x height picture scaled by the smaller of boxWidth / width and
// boxHeight / height: the limiting side becomes the box side, the other is truncated toward
// zero. Pictures smaller than the box are enlarged. The quotients and products are taken
// with a 64-bit significand (x87 extended precision), so 11 x 55 into 260 x 260 gives
// 51 x 260 (double precision would give 52 x 260). A side that would truncate to 0 is kept at 1
// pixel. {0, 0} when any argument is not positive.
PictureSize fitPictureSize(int width, int height, int boxWidth, int boxHeight);
