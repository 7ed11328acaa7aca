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
// A standalone C++17 program without dependencies: g++ -std=c++17 -O2 make_avi.cpp -o make_avi
//
// The file is a RIFF 'AVI ' with a video stream and a silent sound stream:
//   RIFF 'AVI '
//     LIST 'hdrl'
//       'avih'  main header (56 bytes)
//       LIST 'strl'
//         'strh'  stream header (56 bytes), 'vids'
//         'strf'  BITMAPINFOHEADER (40 bytes, BI_RGB, 8 bits a pixel) and the clip's palette
//       LIST 'strl'
//         'strh'  stream header (56 bytes), 'auds'
//         'strf'  PCMWAVEFORMAT (16 bytes): 8-bit mono at kSoundRate samples a second
//     LIST 'movi'
//       '00db'  one chunk a frame: bottom-up rows of palette indices
//       '01wb'  after each frame, the frame's share of silence
//     'idx1'  one entry a chunk, offsets counted from the 'movi' tag
// Every number is little-endian. The output depends on nothing but the arguments.
//
// The films have no sound to give, but Wine's media player refuses to play a film without a
// sound stream (setting its volume fails and it gives up), so each carries silence. The rate
// is low to keep the files small; Windows and Wine play it all the same.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// One frame: one palette index a pixel, top row first (the writer turns it bottom-up).
struct Picture {
    int width;
    int height;
    std::vector<uint8_t> pixels;

    Picture(int w, int h, uint8_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}

    void set(int x, int y, uint8_t colour) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[size_t(y) * width + x] = colour;
    }

    void fillRect(int x, int y, int w, int h, uint8_t colour) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                set(i, j, colour);
    }

    // A line of square dots of the given size, from (x0, y0) to (x1, y1).
    void line(int x0, int y0, int x1, int y1, int size, uint8_t colour) {
        int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int s = 0; s <= steps; ++s) {
            double t = steps == 0 ? 0.0 : double(s) / steps;
            int x = int(std::lround(x0 + (x1 - x0) * t));
            int y = int(std::lround(y0 + (y1 - y0) * t));
            fillRect(x - size / 2, y - size / 2, size, size, colour);
        }
    }
};

// A 5 x 7 font for the digits 0 to 9; each row is five bits, the highest bit on the left.
const uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
};

// Draws one digit with each font dot as a scale x scale block, top-left corner at (x, y).
void drawDigit(Picture& p, int digit, int x, int y, int scale, uint8_t colour) {
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            if (kDigits[digit][row] & (0x10 >> col))
                p.fillRect(x + col * scale, y + row * scale, scale, scale, colour);
}

// The palette shared by every clip.
enum Colour : uint8_t {
    kBlack,
    kWhite,
    kLightGrey,
    kDarkGrey,
    kRed,
    kGreen,
    kFlagRed,
    kYellow,
    kBlue,
    kOrange,
    kViolet,
    kCyan,
    kNavy,
    kPink,
    kSand,
    kBrown,
    kColourCount
};

const Rgb kPalette[kColourCount] = {
    {0, 0, 0},     {255, 255, 255}, {200, 200, 200}, {70, 70, 70},  {230, 30, 30},  {0, 146, 70},
    {206, 43, 55}, {250, 215, 0},   {30, 90, 220},   {255, 140, 0}, {140, 60, 200}, {0, 190, 210},
    {20, 30, 80},  {255, 120, 170}, {240, 225, 190}, {120, 80, 40},
};

// Silence: 8-bit samples sit at 128. The rate divides evenly by every clip's frame rate.
const uint32_t kSoundRate = 1000;
const uint8_t kSilence = 0x80;

struct Clip {
    int width = 64;
    int height = 48;
    int framesPerSecond = 5;
    std::vector<Rgb> palette = std::vector<Rgb>(kPalette, kPalette + kColourCount);
    std::vector<Picture> frames;
};

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

// Little-endian output buffer.
struct Bytes {
    std::vector<uint8_t> data;

    void u8(uint32_t v) { data.push_back(uint8_t(v)); }
    void u16(uint32_t v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void tag(const char* fourcc) {
        for (int i = 0; i < 4; ++i)
            u8(uint8_t(fourcc[i]));
    }
    size_t size() const { return data.size(); }
    // Writes a 32-bit size at a place reserved earlier.
    void patch(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = uint8_t(v >> (8 * i));
    }
};

// Starts a chunk or list; returns where its size goes. finish() fills the size in.
size_t open(Bytes& out, const char* kind, const char* listType = nullptr) {
    out.tag(kind);
    size_t at = out.size();
    out.u32(0);
    if (listType)
        out.tag(listType);
    return at;
}

void finish(Bytes& out, size_t sizeAt) {
    out.patch(sizeAt, uint32_t(out.size() - sizeAt - 4));
    if (out.size() % 2)
        out.u8(0); // chunks are padded to an even size
}

Bytes encodeAvi(const Clip& clip) {
    const uint32_t stride = (uint32_t(clip.width) + 3) & ~3u; // DIB rows are 4-byte aligned
    const uint32_t frameBytes = stride * uint32_t(clip.height);
    const uint32_t frames = uint32_t(clip.frames.size());
    const uint32_t fps = uint32_t(clip.framesPerSecond);
    const uint32_t colours = uint32_t(clip.palette.size());
    const uint32_t soundPerFrame = kSoundRate / fps;

    Bytes out;
    size_t riff = open(out, "RIFF", "AVI ");

    size_t hdrl = open(out, "LIST", "hdrl");
    size_t avih = open(out, "avih");
    out.u32(1000000 / fps);                 // dwMicroSecPerFrame
    out.u32(frameBytes * fps + kSoundRate); // dwMaxBytesPerSec
    out.u32(0);                             // dwPaddingGranularity
    out.u32(0x10);                          // dwFlags: AVIF_HASINDEX
    out.u32(frames);                        // dwTotalFrames
    out.u32(0);                             // dwInitialFrames
    out.u32(2);                             // dwStreams: the film and its silence
    out.u32(frameBytes);                    // dwSuggestedBufferSize
    out.u32(uint32_t(clip.width));          // dwWidth
    out.u32(uint32_t(clip.height));         // dwHeight
    for (int i = 0; i < 4; ++i)
        out.u32(0); // dwReserved
    finish(out, avih);

    size_t strl = open(out, "LIST", "strl");
    size_t strh = open(out, "strh");
    out.tag("vids");     // fccType
    out.u32(0);          // fccHandler: none, the frames are plain DIBs
    out.u32(0);          // dwFlags
    out.u16(0);          // wPriority
    out.u16(0);          // wLanguage
    out.u32(0);          // dwInitialFrames
    out.u32(1);          // dwScale
    out.u32(fps);        // dwRate: dwRate / dwScale frames a second
    out.u32(0);          // dwStart
    out.u32(frames);     // dwLength, in frames
    out.u32(frameBytes); // dwSuggestedBufferSize
    out.u32(0xFFFFFFFF); // dwQuality: default
    out.u32(0);          // dwSampleSize: 0, one frame a chunk
    out.u16(0);          // rcFrame: left, top, right, bottom
    out.u16(0);
    out.u16(uint32_t(clip.width));
    out.u16(uint32_t(clip.height));
    finish(out, strh);

    size_t strf = open(out, "strf");
    out.u32(40);                    // biSize
    out.u32(uint32_t(clip.width));  // biWidth
    out.u32(uint32_t(clip.height)); // biHeight: positive, rows stored bottom-up
    out.u16(1);                     // biPlanes
    out.u16(8);                     // biBitCount
    out.u32(0);                     // biCompression: BI_RGB
    out.u32(frameBytes);            // biSizeImage
    out.u32(0);                     // biXPelsPerMeter
    out.u32(0);                     // biYPelsPerMeter
    out.u32(colours);               // biClrUsed
    out.u32(0);                     // biClrImportant: all
    for (const Rgb& c : clip.palette) {
        out.u8(c.b); // RGBQUAD: blue, green, red, reserved
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    finish(out, strf);
    finish(out, strl);

    size_t soundStrl = open(out, "LIST", "strl");
    size_t soundStrh = open(out, "strh");
    out.tag("auds");                 // fccType
    out.u32(0);                      // fccHandler
    out.u32(0);                      // dwFlags
    out.u16(0);                      // wPriority
    out.u16(0);                      // wLanguage
    out.u32(0);                      // dwInitialFrames
    out.u32(1);                      // dwScale
    out.u32(kSoundRate);             // dwRate: samples a second
    out.u32(0);                      // dwStart
    out.u32(soundPerFrame * frames); // dwLength, in samples
    out.u32(soundPerFrame);          // dwSuggestedBufferSize
    out.u32(0xFFFFFFFF);             // dwQuality: default
    out.u32(1);                      // dwSampleSize: one byte a sample
    for (int i = 0; i < 4; ++i)
        out.u16(0); // rcFrame: none
    finish(out, soundStrh);
    size_t soundStrf = open(out, "strf");
    out.u16(1);          // wFormatTag: WAVE_FORMAT_PCM
    out.u16(1);          // nChannels
    out.u32(kSoundRate); // nSamplesPerSec
    out.u32(kSoundRate); // nAvgBytesPerSec
    out.u16(1);          // nBlockAlign
    out.u16(8);          // wBitsPerSample
    finish(out, soundStrf);
    finish(out, soundStrl);
    finish(out, hdrl);

    size_t movi = open(out, "LIST", "movi");
    const size_t moviTag = movi + 4; // idx1 offsets count from the 'movi' tag
    std::vector<uint32_t> offsets;   // of each frame's picture, then of its silence
    for (const Picture& p : clip.frames) {
        offsets.push_back(uint32_t(out.size() - moviTag));
        size_t chunk = open(out, "00db");
        for (int y = clip.height - 1; y >= 0; --y) {
            for (int x = 0; x < clip.width; ++x)
                out.u8(p.pixels[size_t(y) * clip.width + x]);
            for (uint32_t x = uint32_t(clip.width); x < stride; ++x)
                out.u8(0);
        }
        finish(out, chunk);
        offsets.push_back(uint32_t(out.size() - moviTag));
        size_t sound = open(out, "01wb");
        for (uint32_t i = 0; i < soundPerFrame; ++i)
            out.u8(kSilence);
        finish(out, sound);
    }
    finish(out, movi);

    size_t idx1 = open(out, "idx1");
    for (size_t i = 0; i < offsets.size(); ++i) {
        const bool picture = i % 2 == 0;
        out.tag(picture ? "00db" : "01wb");
        out.u32(0x10); // AVIIF_KEYFRAME: every frame stands alone, and so does silence
        out.u32(offsets[i]);
        out.u32(picture ? frameBytes : soundPerFrame);
    }
    finish(out, idx1);

    finish(out, riff);
    return out;
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
