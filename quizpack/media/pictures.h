// Question and reveal pictures: what the player will show and how quizpack stores them.
// The player fits every picture into a 260 x 260 box, keeping its aspect ratio; pictures
// that it would only shrink are stored at the shrunk size, so the quiz starts faster and
// the executable is smaller, while the player shows exactly the same size.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "media/picture_fit.h"
#include "quizpack/common/messages.h"
#include "quizpack/media/media_formats.h"

constexpr int kPictureBox = 260; // the box every question and reveal picture is fitted into

inline bool operator==(PictureSize a, PictureSize b) {
    return a.width == b.width && a.height == b.height;
}

// The size quizpack stores a picture at: unchanged when it fits the 260 x 260 box (the
// player then enlarges it itself), otherwise the size the player shrinks it to
// (fitPictureSize), so that the player shows it at the very same size.
PictureSize storedPictureSize(PictureSize picture);

// How to save a picture again as JPEG, on Windows as on Linux.
inline constexpr char kSaveAsJpeg[] =
    N_("save it as a JPEG picture: open it in Paint and choose Enregistrer sous > Image JPEG "
       "(File > Save as > JPEG picture), or run: convert IN OUT.jpg");

// A picture file quizpack cannot decode; what() says why, without naming the file, and
// `hint` how to fix it: as a rule, by saving it again as a JPEG picture.
class PictureError : public std::runtime_error {
  public:
    explicit PictureError(const std::string& message, std::string hint = tr(kSaveAsJpeg))

        : std::runtime_error(message), hint(std::move(hint)) {}
    std::string hint;
};

// The most pixels a picture may have: 64 megapixels (8192 x 8192, more than any camera
// but the rarest) take about 450 MB while they are converted (RGBA, then RGB), on every
// core at once. Sides are also limited, to 16384 pixels.
constexpr uint64_t kMaxPicturePixels = 64ull * 1024 * 1024;
constexpr int kMaxPictureSide = 16384;

struct PictureInfo {
    MediaFormat format = MediaFormat::Unknown;
    PictureSize size{0, 0};
};

// Decodes the whole picture to be sure it is sound, once inspectPictureHeader accepted it.
// Throws PictureError for formats other than JPEG, PNG, GIF and BMP, and for files that
// do not decode.
PictureInfo inspectPicture(const std::vector<uint8_t>& bytes);

// The format and size from the header alone (a top-down BMP's height comes out positive),
// without the cost of decoding. Throws PictureError as inspectPicture does for the format
// and header, and for what no picture may ask for: more than kMaxPictureSide pixels a side
// or kMaxPicturePixels pixels, or more pixel data than the file can hold (a BMP's rows, a
// PNG's at the deflate limit of 1032 to 1, a JPEG's at one bit per 32 x 32 pixels).
PictureInfo inspectPictureHeader(const std::vector<uint8_t>& bytes);

enum class Downscaling { ToPlayerBox, Off };

struct Rgb {
    uint8_t red = 255, green = 255, blue = 255;
};

struct PreparedPicture {
    std::vector<uint8_t> bytes; // what goes into the "IMG" resource
    MediaFormat from = MediaFormat::Unknown;
    MediaFormat to = MediaFormat::Unknown;
    PictureSize original{0, 0};
    PictureSize stored{0, 0};
    int quality = 0; // the JPEG quality it was encoded with; 0 when stored as it was
    bool reencoded() const { return from != to || !(original == stored); }
};

constexpr int kJpegQuality = 90;
constexpr int kLowestJpegQuality = 75;

// Makes the bytes to store for one picture. JPEG, GIF and BMP pictures that fit the box
// (or any size with Downscaling::Off) are stored byte for byte. Others are decoded,
// transparent pixels laid over `background` (the board colour the picture sits on),
// resized to storedPictureSize when downscaling, and encoded as JPEG at kJpegQuality.
// A downscaled picture that would come out larger than its file is encoded again at
// lower qualities, 5 steps at a time down to kLowestJpegQuality, keeping the first that
// is no larger (or the last): shrinking a picture should not grow the executable.
// Throws PictureError for formats inspectPicture refuses and for pictures it re-encodes
// that do not decode; a picture stored as it is is not decoded here (check decodes all).
PreparedPicture preparePicture(const std::vector<uint8_t>& bytes, Downscaling downscaling,
                               Rgb background);
