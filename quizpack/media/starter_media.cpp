#include "quizpack/media/starter_media.h"

#include <stb/stb_image_write.h>

#include "quizpack/media/avi_writer.h"

namespace {

// Draws `number` (1 to 99) centred, each font dot a scale x scale block.
void drawNumber(avi::Picture& picture, int number, int scale, uint8_t colour) {
    const int digits = number >= 10 ? 2 : 1;
    const int gap = scale;
    const int width = digits * 5 * scale + (digits - 1) * gap;
    int x = (picture.width - width) / 2;
    const int y = (picture.height - 7 * scale) / 2;
    if (digits == 2) {
        avi::drawDigit(picture, number / 10 % 10, x, y, scale, colour);
        x += 5 * scale + gap;
    }
    avi::drawDigit(picture, number % 10, x, y, scale, colour);
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

} // namespace

std::vector<uint8_t> placeholderPicture(int question, bool reveal) {
    avi::Picture picture(240, 180, reveal ? avi::kGreen : avi::kSand);
    picture.fillRect(0, 0, picture.width, 4, avi::kDarkGrey);
    picture.fillRect(0, picture.height - 4, picture.width, 4, avi::kDarkGrey);
    picture.fillRect(0, 0, 4, picture.height, avi::kDarkGrey);
    picture.fillRect(picture.width - 4, 0, 4, picture.height, avi::kDarkGrey);
    drawNumber(picture, question, 14, reveal ? avi::kWhite : avi::kNavy);
    std::vector<uint8_t> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (uint8_t index : picture.pixels) {
        const avi::Rgb& c = avi::kPalette[index];
        rgb.insert(rgb.end(), {c.r, c.g, c.b});
    }
    std::vector<uint8_t> jpeg;
    stbi_write_jpg_to_func(appendBytes, &jpeg, picture.width, picture.height, 3, rgb.data(), 90);
    return jpeg;
}

std::vector<uint8_t> silentMp3() {
    // Sync, MPEG-1, layer III, no CRC; 32 kbit/s, 32 kHz, no padding; mono. Such a frame
    // is 144 x 32000 / 32000 = 144 bytes and holds 1152 samples (36 ms). Zero side
    // information and no main data decode as silence.
    const uint8_t header[4] = {0xFF, 0xFB, 0x18, 0xC0};
    const size_t frameBytes = 144;
    const int frames = 28; // 28 x 36 ms, one second
    std::vector<uint8_t> mp3;
    for (int f = 0; f < frames; ++f) {
        mp3.insert(mp3.end(), header, header + 4);
        mp3.resize(mp3.size() + frameBytes - 4, 0);
    }
    return mp3;
}

std::vector<uint8_t> placeholderFilm(int question) {
    avi::Clip clip;
    clip.framesPerSecond = 2;
    const uint8_t colours[] = {avi::kYellow, avi::kWhite};
    for (int f = 0; f < 4; ++f) {
        avi::Picture frame(clip.width, clip.height, avi::kNavy);
        drawNumber(frame, question, question >= 10 ? 3 : 5, colours[f % 2]);
        clip.frames.push_back(frame);
    }
    return avi::encodeAvi(clip).data;
}
