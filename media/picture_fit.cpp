// Fitted-size arithmetic, kept apart from the drawing so it can be checked anywhere.
#include "media/picture_fit.h"

#include <limits>

// The exact one-pixel results of the player (11 x 55 -> 51 x 260) depend on the x87
// 80-bit format: a double or a 128-bit long double rounds some scales the other way.
static_assert(std::numeric_limits<long double>::digits == 64,
              "picture fitting needs the x87 extended format for long double");

namespace {

int truncatedSide(int side, long double scale) {
    // scale never exceeds box / side, so the product fits the box and an int.
    int scaled = static_cast<int>(static_cast<long double>(side) * scale);
    // A 1000 x 1 strip would otherwise come out 0 pixels high: an empty bitmap that the
    // board could not centre or show. One pixel keeps the picture's colour visible.
    return scaled < 1 ? 1 : scaled;
}

} // namespace

PictureSize fitPictureSize(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) {
        return {0, 0};
    }
    long double byHeight = static_cast<long double>(boxHeight) / height;
    long double byWidth = static_cast<long double>(boxWidth) / width;
    long double scale = byHeight > byWidth ? byWidth : byHeight;
    return {truncatedSide(width, scale), truncatedSide(height, scale)};
}
