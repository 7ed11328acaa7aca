#include "quizpack/media/pictures.h"
#include "quizpack/common/messages.h"

#include <cstring>
#include <memory>

// Only the formats quizpack accepts: an unknown file is then never taken for, say, a
// headerless TGA picture. Longer sides than kMaxPictureSide are refused before any allocation.
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#define STBI_NO_STDIO
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

PictureSize storedPictureSize(PictureSize picture) {
    if (picture.width <= kPictureBox && picture.height <= kPictureBox) {
        return picture;
    }
    return fitPictureSize(picture.width, picture.height, kPictureBox, kPictureBox);
}

namespace {

struct StbPixels {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};
using Pixels = std::unique_ptr<unsigned char, StbPixels>;

void requireDecodable(const std::vector<uint8_t>& bytes, MediaFormat format) {
    if (!quizpackDecodesPicture(format)) {
        throw PictureError(format == MediaFormat::Unknown
                               ? tr("not a JPEG, PNG, GIF or BMP picture")
                               : tr("a {format} file, not a JPEG, PNG, GIF or BMP picture",
                                    {{"format", mediaFormatName(format)}}));
    }
    if (bytes.size() > 0x7FFFFFFF) {
        throw PictureError(tr("larger than 2 GB"));
    }
}

Pixels decodeRgba(const std::vector<uint8_t>& bytes, MediaFormat format, PictureSize* size) {
    requireDecodable(bytes, format);
    int width = 0, height = 0, channels = 0;
    Pixels pixels(stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                        &height, &channels, 4));
    if (!pixels) {
        throw PictureError(
            tr("the {format} data does not decode ({reason})",
               {{"format", mediaFormatName(format)}, {"reason", stbi_failure_reason()}}));
    }
    *size = {width, height};
    return pixels;
}

uint32_t readLe32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t readLe16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// The fewest bytes a file of this format can hold `pixels` in, or 0 where a size says
// nothing: a GIF's screen may be larger than its frames, whose pixels alone are coded.
uint64_t leastFileBytes(const std::vector<uint8_t>& b, MediaFormat format, uint64_t width,
                        uint64_t height) {
    switch (format) {
    case MediaFormat::Bmp: {
        // Uncompressed rows of whole 32-bit words from the pixel offset; the last row's
        // padding may be missing. Compressed BMPs the decoder refuses by itself.
        if (b.size() < 34) {
            return 0;
        }
        const uint32_t headerSize = readLe32(b, 14);
        const uint64_t bitsPerPixel = readLe16(b, headerSize == 12 ? 24 : 28);
        const uint32_t compression = headerSize == 12 ? 0 : readLe32(b, 30);
        if ((compression != 0 && compression != 3) || bitsPerPixel == 0) {
            return 0;
        }
        const uint64_t rowBits = width * bitsPerPixel;
        return readLe32(b, 10) + (rowBits + 31) / 32 * 4 * (height - 1) + (rowBits + 7) / 8;
    }
    case MediaFormat::Png: {
        // Deflate packs at most 1032 bytes into one.
        static const uint64_t kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
        const uint64_t depth = b.size() > 25 ? b[24] : 0;
        const uint64_t channels = b.size() > 25 && b[25] < 7 ? kChannels[b[25]] : 0;
        return width * height * channels * depth / 8 / 1032;
    }
    case MediaFormat::Jpeg:
        // Every 8 x 8 block of every scan takes one bit at least, and a component is
        // sampled at a quarter of the picture's resolution at worst.
        return (width + 31) / 32 * ((height + 31) / 32) / 8;
    default:
        return 0;
    }
}

// What no picture may ask for, checked on its header before anything is decoded.
void requireWithinLimits(const std::vector<uint8_t>& bytes, MediaFormat format, int64_t width,
                         int64_t height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width < 1 || height < 1) {
        throw PictureError(tr("its header gives no pixels ({size})", {{"size", size}}));
    }
    const std::string shrink = tr("shrink it, for example: convert IN -resize 4000x4000 OUT.jpg");
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        throw PictureError(tr("it is {size} pixels; quizpack takes pictures of at most {most} "
                              "pixels a side",
                              {{"size", size}, {"most", kMaxPictureSide}}),
                           shrink);
    }
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kMaxPicturePixels) {
        throw PictureError(tr("it is {size} pixels, {pixels} in all; quizpack takes pictures of "
                              "at most {most} pixels (8192x8192)",
                              {{"size", size}, {"pixels", pixels}, {"most", kMaxPicturePixels}}),
                           shrink);
    }
    const uint64_t least =
        leastFileBytes(bytes, format, static_cast<uint64_t>(width), static_cast<uint64_t>(height));
    if (bytes.size() < least) {
        throw PictureError(tr("the file holds {bytes} bytes, but a {size} {format} needs at "
                              "least {least}: it is cut short or its header is wrong",
                              {{"bytes", bytes.size()},
                               {"size", size},
                               {"format", mediaFormatName(format)},
                               {"least", least}}),
                           tr("save the picture again from the program that made it"));
    }
}

// Lays every pixel over the background colour by its alpha; the result has 3 channels.
std::vector<uint8_t> flatten(const unsigned char* rgba, PictureSize size, Rgb background) {
    size_t count = static_cast<size_t>(size.width) * size.height;
    std::vector<uint8_t> rgb(count * 3);
    const uint8_t bg[3] = {background.red, background.green, background.blue};
    for (size_t i = 0; i < count; ++i) {
        unsigned alpha = rgba[i * 4 + 3];
        for (int c = 0; c < 3; ++c) {
            rgb[i * 3 + c] =
                static_cast<uint8_t>((rgba[i * 4 + c] * alpha + bg[c] * (255 - alpha) + 127) / 255);
        }
    }
    return rgb;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

} // namespace

PictureInfo inspectPicture(const std::vector<uint8_t>& bytes) {
    PictureInfo info = inspectPictureHeader(bytes);
    decodeRgba(bytes, info.format, &info.size);
    return info;
}

PictureInfo inspectPictureHeader(const std::vector<uint8_t>& bytes) {
    PictureInfo info;
    info.format = sniffMediaFormat(bytes);
    requireDecodable(bytes, info.format);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                               &channels)) {
        throw PictureError(
            tr("the {format} header does not decode ({reason})",
               {{"format", mediaFormatName(info.format)}, {"reason", stbi_failure_reason()}}));
    }
    // A negative BMP height says the rows are stored top down; the picture is as high.
    int64_t trueHeight = height;
    if (info.format == MediaFormat::Bmp && height < 0) {
        trueHeight = -trueHeight;
    }
    requireWithinLimits(bytes, info.format, width, trueHeight);
    info.size = {width, static_cast<int>(trueHeight)};
    return info;
}

PreparedPicture preparePicture(const std::vector<uint8_t>& bytes, Downscaling downscaling,
                               Rgb background) {
    PreparedPicture result;
    // The header alone tells whether the picture can be stored as it is.
    PictureInfo header = inspectPictureHeader(bytes);
    result.from = header.format;
    result.original = header.size;
    result.stored = downscaling == Downscaling::ToPlayerBox ? storedPictureSize(result.original)
                                                            : result.original;
    if (playerShowsPicture(result.from) && result.stored == result.original) {
        result.bytes = bytes;
        result.to = result.from;
        return result;
    }

    Pixels rgba = decodeRgba(bytes, result.from, &result.original);
    std::vector<uint8_t> rgb = flatten(rgba.get(), result.original, background);
    rgba.reset();
    if (!(result.stored == result.original)) {
        std::vector<uint8_t> resized(static_cast<size_t>(result.stored.width) *
                                     result.stored.height * 3);
        // Resampling in linear light keeps fine detail from darkening as it shrinks.
        if (!stbir_resize_uint8_srgb(rgb.data(), result.original.width, result.original.height, 0,
                                     resized.data(), result.stored.width, result.stored.height, 0,
                                     3, STBIR_ALPHA_CHANNEL_NONE, 0)) {
            throw PictureError(tr("resizing failed (out of memory?)"));
        }
        rgb.swap(resized);
    }
    bool downscaled = !(result.stored == result.original);
    for (int quality = kJpegQuality; quality >= kLowestJpegQuality; quality -= 5) {
        result.bytes.clear();
        result.quality = quality;
        if (!stbi_write_jpg_to_func(appendBytes, &result.bytes, result.stored.width,
                                    result.stored.height, 3, rgb.data(), quality)) {
            throw PictureError(tr("JPEG encoding failed"));
        }
        if (!downscaled || result.bytes.size() <= bytes.size()) {
            break;
        }
    }
    result.to = MediaFormat::Jpeg;
    return result;
}
