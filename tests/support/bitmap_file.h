// Pictures as the player's decoder meets them in "IMG" resources, made on the spot.
#pragma once

#include <cstdint>
#include <string>

namespace test_support {

// A 24-bit BMP file of width x height whose left half is `left` and right half `right`
// (colours as 0x00BBGGRR).
inline std::string bmpFile(int width, int height, uint32_t left, uint32_t right) {
    std::string bytes = "BM";
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<char>(value >> (8 * i)));
        }
    };
    uint32_t rowSize = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    uint32_t pixelBytes = rowSize * static_cast<uint32_t>(height);
    put(14 + 40 + pixelBytes, 4); // file size
    put(0, 4);                    // reserved
    put(14 + 40, 4);              // offset of the pixels
    put(40, 4);                   // BITMAPINFOHEADER
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4); // bottom-up
    put(1, 2);                             // planes
    put(24, 2);                            // bits a pixel
    put(0, 4);                             // BI_RGB
    put(pixelBytes, 4);
    put(2835, 4); // 72 dots an inch, across and down
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t colour = x < width / 2 ? left : right;
            bytes.push_back(static_cast<char>(colour >> 16)); // blue, green, red
            bytes.push_back(static_cast<char>(colour >> 8));
            bytes.push_back(static_cast<char>(colour));
        }
        bytes.append(rowSize - static_cast<uint32_t>(width) * 3, '\0');
    }
    return bytes;
}

} // namespace test_support
