// make_avi: writes short video clips as uncompressed AVI files: those of the sample video
// quiz and the films of the Windows media tests.
//
//   make_avi count      OUT.avi   digits 1 to 9 in changing colours, one of them left out
//   make_avi flag       OUT.avi   a flag drawn band after band
//   make_avi trace      OUT.avi   a red square that draws a letter as it moves
//   make_avi square     OUT.avi   a square crossing the picture and bouncing back
//   make_avi cycle      OUT.avi   the whole picture cycling through colours
//   make_avi sweep-red  OUT.avi   a white bar sweeping across red, 4 seconds (tests)
//   make_avi sweep-blue OUT.avi   a yellow bar sweeping across blue, 3 seconds (tests)
//
// The sample quiz's clips are samples/video/media/q01.avi (count), q02.avi (flag) and
// q03.avi (trace); the tests' are tests/data/media/sweep_red.avi and sweep_blue.avi, tiny
// films long enough to be seen playing.
//
// A standalone C++17 program without dependencies beyond avi_writer.h beside it:
// g++ -std=c++17 -O2 make_avi.cpp -o make_avi

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quizpack/media/avi_writer.h"

namespace {

using namespace avi;

// Digits 1 to 9 without the 6, one a frame, each in its own colour on navy.
Clip makeCount() {
    Clip clip;
    clip.framesPerSecond = 2;
    const uint8_t colours[] = {kYellow, kCyan, kPink, kOrange, kWhite, kGreen, kRed, kViolet};
    int k = 0;
    for (int digit = 1; digit <= 9; ++digit) {
        if (digit == 6)
            continue;
        Picture p(clip.width, clip.height, kNavy);
        const int scale = 5; // 25 x 35 pixels
        drawDigit(p, digit, (clip.width - 5 * scale) / 2, (clip.height - 7 * scale) / 2, scale,
                  colours[k++ % 8]);
        clip.frames.push_back(p);
    }
    return clip;
}

// A vertical tricolour (green, white, red) drawn one band at a time on grey, then held.
Clip makeFlag() {
    Clip clip;
    const int flagW = 48, flagH = 32;
    const int left = (clip.width - flagW) / 2, top = (clip.height - flagH) / 2;
    const uint8_t bands[3] = {kGreen, kWhite, kFlagRed};
    const int shown[8] = {0, 1, 1, 2, 2, 3, 3, 3}; // bands visible in each frame
    for (int f = 0; f < 8; ++f) {
        Picture p(clip.width, clip.height, kDarkGrey);
        // the flag's outline
        p.fillRect(left - 1, top - 1, flagW + 2, flagH + 2, kBlack);
        p.fillRect(left, top, flagW, flagH, kLightGrey);
        for (int b = 0; b < shown[f]; ++b)
            p.fillRect(left + b * flagW / 3, top, flagW / 3, flagH, bands[b]);
        // the pole
        p.fillRect(left - 4, top - 2, 2, clip.height - top, kBrown);
        clip.frames.push_back(p);
    }
    return clip;
}

// A red square travelling along the strokes of a "Z", leaving a dark trail.
Clip makeTrace() {
    Clip clip;
    const int pts[4][2] = {{12, 10}, {52, 10}, {12, 38}, {52, 38}};
    double lengths[3], total = 0;
    for (int s = 0; s < 3; ++s) {
        lengths[s] = std::hypot(pts[s + 1][0] - pts[s][0], pts[s + 1][1] - pts[s][1]);
        total += lengths[s];
    }
    const int frameCount = 8;
    for (int f = 0; f < frameCount; ++f) {
        Picture p(clip.width, clip.height, kSand);
        double travelled = total * f / (frameCount - 1);
        int x = pts[0][0], y = pts[0][1];
        for (int s = 0; s < 3 && travelled > 0; ++s) {
            double part = std::min(travelled, lengths[s]) / lengths[s];
            int ex = int(std::lround(pts[s][0] + (pts[s + 1][0] - pts[s][0]) * part));
            int ey = int(std::lround(pts[s][1] + (pts[s + 1][1] - pts[s][1]) * part));
            p.line(pts[s][0], pts[s][1], ex, ey, 2, kDarkGrey);
            x = ex;
            y = ey;
            travelled -= lengths[s];
        }
        p.fillRect(x - 3, y - 3, 7, 7, kRed);
        clip.frames.push_back(p);
    }
    return clip;
}

// A blue square going right, hitting the edge and coming back.
Clip makeSquare() {
    Clip clip;
    const int xs[9] = {2, 12, 22, 32, 42, 50, 40, 30, 20};
    for (int x : xs) {
        Picture p(clip.width, clip.height, kWhite);
        p.fillRect(0, 36, clip.width, 12, kLightGrey);
        p.fillRect(x, 24, 12, 12, kBlue);
        clip.frames.push_back(p);
    }
    return clip;
}

// The whole picture in the colours of the rainbow, one a frame.
Clip makeCycle() {
    Clip clip;
    const uint8_t colours[] = {kRed, kOrange, kYellow, kGreen, kCyan, kBlue, kViolet};
    for (uint8_t c : colours)
        clip.frames.push_back(Picture(clip.width, clip.height, c));
    return clip;
}

// A three-pixel bar crossing a 16 x 12 picture once, ten frames a second, in a palette of
// its own: index 0 the background, 1 the bar.
Clip makeSweep(int seconds, Rgb background, Rgb bar) {
    Clip clip;
    clip.width = 16;
    clip.height = 12;
    clip.framesPerSecond = 10;
    clip.palette = {background, bar};
    const int frameCount = seconds * clip.framesPerSecond;
    for (int f = 0; f < frameCount; ++f) {
        Picture p(clip.width, clip.height, 0);
        p.fillRect(f * clip.width / frameCount - 1, 0, 3, clip.height, 1);
        clip.frames.push_back(p);
    }
    return clip;
}

int usage() {
    std::fprintf(stderr,
                 "usage: make_avi count|flag|trace|square|cycle|sweep-red|sweep-blue OUT.avi\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return usage();
    const std::string which = argv[1];
    Clip clip;
    if (which == "count")
        clip = makeCount();
    else if (which == "flag")
        clip = makeFlag();
    else if (which == "trace")
        clip = makeTrace();
    else if (which == "square")
        clip = makeSquare();
    else if (which == "cycle")
        clip = makeCycle();
    else if (which == "sweep-red")
        clip = makeSweep(4, {200, 40, 40}, {255, 255, 255});
    else if (which == "sweep-blue")
        clip = makeSweep(3, {40, 80, 200}, {255, 230, 0});
    else
        return usage();

    const Bytes avi = encodeAvi(clip);
    const std::string path = argv[2];
    const std::string temporary = path + ".part";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) {
        std::perror(temporary.c_str());
        return 1;
    }
    bool ok = std::fwrite(avi.data.data(), 1, avi.data.size(), f) == avi.data.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::perror(path.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    std::printf("%s: %u frames of %d x %d at %d a second, %zu bytes\n", path.c_str(),
                unsigned(clip.frames.size()), clip.width, clip.height, clip.framesPerSecond,
                avi.data.size());
    return 0;
}
