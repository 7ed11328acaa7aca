// Pictures for the hostile-input tests and the description fuzzer: sound ones stored in
// the less common ways (a top-down BMP, a GIF frame on a larger screen) and headers that
// claim more pixels than their files hold.
#pragma once

#include <cstdint>

#include "tests/host/authoring_test_support.h"

namespace hostile_pictures {

using authoring_test::Bytes;

inline void put32(Bytes* b, size_t at, uint32_t v, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i) {
        (*b)[at + i] = static_cast<uint8_t>(v >> (bigEndian ? 24 - 8 * i : 8 * i));
    }
}

inline void putBe16(Bytes* b, size_t at, uint16_t v) {
    (*b)[at] = static_cast<uint8_t>(v >> 8);
    (*b)[at + 1] = static_cast<uint8_t>(v);
}

// stb writes bottom-up BMPs; the same picture stored top down has its rows reversed and
// a negative height.
inline Bytes topDownBmp(int width, int height) {
    Bytes b = authoring_test::bmpPicture(width, height);
    const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    Bytes flipped(b.begin(), b.begin() + 54);
    for (int y = height - 1; y >= 0; --y) {
        flipped.insert(flipped.end(), b.begin() + 54 + y * row, b.begin() + 54 + (y + 1) * row);
    }
    put32(&flipped, 22, static_cast<uint32_t>(-height));
    return flipped;
}

// The 54 bytes of a 24-bit BMP header that claims width x height, and no pixels.
inline Bytes bmpHeaderOnly(int32_t width, int32_t height) {
    Bytes b = authoring_test::bmpPicture(1, 1);
    b.resize(54);
    put32(&b, 18, static_cast<uint32_t>(width));
    put32(&b, 22, static_cast<uint32_t>(height));
    return b;
}

inline Bytes pngClaiming(uint32_t width, uint32_t height) {
    Bytes b = authoring_test::pngPicture(2, 2);
    put32(&b, 16, width, true);
    put32(&b, 20, height, true);
    return b;
}

inline Bytes jpegClaiming(uint16_t width, uint16_t height) {
    Bytes b = authoring_test::jpegPicture(16, 16);
    for (size_t i = 2; i + 9 < b.size(); ++i) {
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            putBe16(&b, i + 5, height);
            putBe16(&b, i + 7, width);
            break;
        }
    }
    return b;
}

// A GIF of one pixel on a screen of width x height (the rest is background).
inline Bytes gifScreen(uint16_t width, uint16_t height) {
    Bytes b = {'G', 'I',  'F', '8', '9', 'a', 0, 0, 0, 0, 0x80, 0, 0, 255,  255, 255, 0,   0,
               0,   0x2C, 0,   0,   0,   0,   1, 0, 1, 0, 0,    2, 2, 0x44, 1,   0,   0x3B};
    b[6] = static_cast<uint8_t>(width);
    b[7] = static_cast<uint8_t>(width >> 8);
    b[8] = static_cast<uint8_t>(height);
    b[9] = static_cast<uint8_t>(height >> 8);
    return b;
}

} // namespace hostile_pictures
