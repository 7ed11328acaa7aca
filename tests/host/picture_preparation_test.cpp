// How build stores pictures: at the size the player shows them when it would only shrink
// them, converted to JPEG when the player cannot decode them, untouched otherwise.
#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/media/pictures.h"

namespace {

using namespace authoring_test;
using namespace test_support;

TEST(PicturePreparation, StoredSizes) {
    struct Row {
        PictureSize original, stored;
    };
    const Row rows[] = {
        {{1600, 1200}, {260, 195}}, // a camera photo
        {{1200, 1600}, {195, 260}}, {{520, 260}, {260, 130}},
        {{300, 100}, {260, 86}}, // 86.67 truncated, as the player does
        {{261, 261}, {260, 260}},   {{261, 10}, {260, 9}},
        {{5000, 1}, {260, 1}},    // never a side of 0
        {{260, 260}, {260, 260}}, // fits: kept
        {{100, 50}, {100, 50}},   // the player enlarges it: kept
        {{11, 55}, {11, 55}},       {{260, 30}, {260, 30}},
    };
    for (const Row& r : rows) {
        PictureSize stored = storedPictureSize(r.original);
        EXPECT_EQ(stored.width, r.stored.width) << r.original.width << "x" << r.original.height;
        EXPECT_EQ(stored.height, r.stored.height) << r.original.width << "x" << r.original.height;
    }
}

// The point of downscaling: the player shows the stored picture exactly as large as it
// would have shown the original.
TEST(PicturePreparation, ThePlayerShowsTheStoredPictureAtTheOriginalsSize) {
    for (int width = 1; width <= 2000; width += 13) {
        for (int height = 1; height <= 2000; height += 17) {
            PictureSize stored = storedPictureSize({width, height});
            PictureSize shownOriginal = fitPictureSize(width, height, kPictureBox, kPictureBox);
            PictureSize shownStored =
                fitPictureSize(stored.width, stored.height, kPictureBox, kPictureBox);
            ASSERT_EQ(shownStored.width, shownOriginal.width) << width << "x" << height;
            ASSERT_EQ(shownStored.height, shownOriginal.height) << width << "x" << height;
            ASSERT_LE(stored.width, std::max(width, kPictureBox)) << width << "x" << height;
        }
    }
}

TEST(PicturePreparation, WhatIsStored) {
    struct Row {
        const char* name;
        Bytes input;
        Downscaling downscaling;
        MediaFormat format;
        PictureSize size;
        bool unchanged;
    };
    const Row rows[] = {
        {"large JPEG is downscaled",
         jpegPicture(600, 400),
         Downscaling::ToPlayerBox,
         MediaFormat::Jpeg,
         {260, 173},
         false},
        {"large JPEG kept with --keep-pictures",
         jpegPicture(600, 400),
         Downscaling::Off,
         MediaFormat::Jpeg,
         {600, 400},
         true},
        {"small JPEG kept",
         jpegPicture(200, 100),
         Downscaling::ToPlayerBox,
         MediaFormat::Jpeg,
         {200, 100},
         true},
        {"small PNG converted",
         pngPicture(100, 50),
         Downscaling::ToPlayerBox,
         MediaFormat::Jpeg,
         {100, 50},
         false},
        {"large PNG converted, full size with --keep-pictures",
         pngPicture(600, 400),
         Downscaling::Off,
         MediaFormat::Jpeg,
         {600, 400},
         false},
        {"large BMP downscaled to JPEG",
         bmpPicture(300, 300),
         Downscaling::ToPlayerBox,
         MediaFormat::Jpeg,
         {260, 260},
         false},
        {"small BMP kept",
         bmpPicture(100, 100),
         Downscaling::ToPlayerBox,
         MediaFormat::Bmp,
         {100, 100},
         true},
    };
    for (const Row& r : rows) {
        PreparedPicture p = preparePicture(r.input, r.downscaling, Rgb{});
        EXPECT_EQ(p.bytes == r.input, r.unchanged) << r.name;
        EXPECT_EQ(p.reencoded(), !r.unchanged) << r.name;
        PictureInfo info = inspectPicture(p.bytes); // what was stored decodes
        EXPECT_EQ(info.format, r.format) << r.name;
        EXPECT_EQ(info.size.width, r.size.width) << r.name;
        EXPECT_EQ(info.size.height, r.size.height) << r.name;
        EXPECT_EQ(p.stored.width, r.size.width) << r.name;
    }
}

TEST(PicturePreparation, TransparentPixelsTakeTheBoardColour) {
    PreparedPicture p =
        preparePicture(pngPicture(32, 32, 0), Downscaling::ToPlayerBox, Rgb{0xC0, 0xD8, 0xFF});
    int w = 0, h = 0, n = 0;
    unsigned char* pixels =
        stbi_load_from_memory(p.bytes.data(), static_cast<int>(p.bytes.size()), &w, &h, &n, 3);
    ASSERT_NE(pixels, nullptr);
    const unsigned char* centre = pixels + (16 * w + 16) * 3;
    EXPECT_NEAR(centre[0], 0xC0, 4);
    EXPECT_NEAR(centre[1], 0xD8, 4);
    EXPECT_NEAR(centre[2], 0xFF, 4);
    stbi_image_free(pixels);
}

// A compact picture barely over the box must not grow the executable when shrunk.
TEST(PicturePreparation, DownscalingDoesNotGrowACompactPicture) {
    for (int quality : {30, 50, 70}) {
        Bytes original = jpegPicture(300, 280, quality);
        PreparedPicture p = preparePicture(original, Downscaling::ToPlayerBox, Rgb{});
        EXPECT_TRUE(p.bytes.size() <= original.size() || p.quality == kLowestJpegQuality)
            << "source quality " << quality << ": " << original.size() << " -> " << p.bytes.size()
            << " at quality " << p.quality;
        EXPECT_GE(p.quality, kLowestJpegQuality);
    }
}

TEST(PicturePreparation, UndecodableFilesAreRefused) {
    Bytes cut = jpegPicture(400, 400);
    cut.resize(cut.size() / 2);
    struct Row {
        const char* name;
        Bytes bytes;
    };
    const Row rows[] = {
        {"text", Bytes{'h', 'i'}}, {"WebP", riffFile("WEBP")}, {"JPEG cut in half", cut}};
    for (const Row& r : rows) {
        EXPECT_THROW(inspectPicture(r.bytes), PictureError) << r.name;
        EXPECT_THROW(preparePicture(r.bytes, Downscaling::ToPlayerBox, Rgb{}), PictureError)
            << r.name;
    }
}

} // namespace
