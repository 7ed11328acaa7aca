// Pictures decoded from "IMG" resources and fitted into the board's 260 x 260 box, checked
// on the real bitmaps: their size, their pixels, and what becomes of what they came from.
//
// The pictures are stored as resources of a copy of this program, loaded as a data file,
// exactly as the board finds them in a quiz executable.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "media/picture_win.h"
#include "resources/resource.h"
#include "tests/support/bitmap_file.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/temp_folder.h"

using namespace test_support;

namespace {

constexpr int kBox = 260;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Resource identifiers of the pictures written into the copy.
enum PictureId {
    kWideJpeg = questionMediaId(1),
    kTallJpeg = questionMediaId(2),
    kSmallJpeg = questionMediaId(3),
    kNarrowGreyJpeg = questionMediaId(4),
    kSquareJpeg = questionMediaId(5),
    kNarrowGif = questionMediaId(6),
    kWideBmp = questionMediaId(7),
    kTinySquareBmp = questionMediaId(8),
    kPhotoBmp = questionMediaId(9),
    kNeverStored = questionMediaId(10),
    kNotAPicture = questionMediaId(11),
    kOneByte = questionMediaId(12),
    kRevealJpeg = revealPictureId(1),
    kRevealNeverStored = revealPictureId(2),
};

// The bytes stored under each identifier; empty when a fixture file could not be read.
std::vector<ResourceData> storedPictures(const std::string& folder) {
    auto file = [&](const char* name) { return asText(readBytes(folder + "/" + name)); };
    // clang-format off
    return {
        {"IMG", kWideJpeg, file("wide_520x260.jpg")},
        {"IMG", kTallJpeg, file("tall_260x520.jpg")},
        {"IMG", kSmallJpeg, file("small_100x50.jpg")},
        {"IMG", kNarrowGreyJpeg, file("narrow_11x55.jpg")},
        {"IMG", kSquareJpeg, file("square_300x300.jpg")},
        {"IMG", kNarrowGif, file("narrow_11x55.gif")},
        {"IMG", kWideBmp, bmpFile(520, 260, kRed, kBlue)},
        {"IMG", kTinySquareBmp, bmpFile(8, 8, kGreen, kBlue)},
        {"IMG", kPhotoBmp, bmpFile(800, 600, kYellow, kBlue)},
        {"IMG", kNotAPicture, "Ceci n'est pas une image, juste du texte."},
        {"IMG", kOneByte, "\xFF"},
        {"IMG", kRevealJpeg, file("small_100x50.jpg")},
    };
    // clang-format on
}

// Pixels of a bitmap, read back through a 32-bit top-down DIB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> bgra;

    COLORREF at(double fx, double fy) const {
        int x = static_cast<int>(fx * width);
        int y = static_cast<int>(fy * height);
        uint32_t p = bgra[static_cast<size_t>(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

Pixels pixelsOf(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) {
        return pixels;
    }
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    pixels.bgra.assign(static_cast<size_t>(info.bmWidth) * info.bmHeight, 0);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    int rows =
        GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.bgra.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) {
        pixels.bgra.clear();
        pixels.width = pixels.height = 0;
    }
    return pixels;
}

// JPEG and the halftone stretch shift colours a little; a wrong half is far off.
bool closeColour(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) <= 40 && abs(GetGValue(a) - GetGValue(b)) <= 40 &&
           abs(GetBValue(a) - GetBValue(b)) <= 40;
}

std::string colourText(COLORREF c) {
    char text[32];
    snprintf(text, sizeof text, "(%d, %d, %d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

SIZE sizeOf(HBITMAP bitmap) {
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) {
        return {-1, -1};
    }
    return {info.bmWidth, info.bmHeight};
}

// The pictures are stored once for the whole suite in a copy of this program.
class PictureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder("pictures");
        std::string copy = folder_->file("pictures.exe");
        problem_ = writeExecutable(ownPath(), copy, storedPictures(pictureFolder()));
        if (problem_.empty()) {
            copy_ = new ExecutableData(copy);
        }
    }

    static void TearDownTestSuite() {
        delete copy_;
        copy_ = nullptr;
        delete folder_;
        folder_ = nullptr;
    }

    void SetUp() override {
        ASSERT_EQ(problem_, "") << "pictures could not be stored";
        ASSERT_NE(copy_->module(), nullptr) << "the copy does not load";
        module_ = copy_->module();
    }

    static std::string pictureFolder() { return sourcePath("tests/data/pictures"); }

    static TempFolder* folder_;
    static ExecutableData* copy_;
    static std::string problem_;
    HMODULE module_ = nullptr;
};

TempFolder* PictureTest::folder_ = nullptr;
ExecutableData* PictureTest::copy_ = nullptr;
std::string PictureTest::problem_;

struct Sample {
    double x, y; // fractions of the fitted width and height
    COLORREF colour;
};

struct FitCase {
    const char* what;
    int id;
    int width, height;
    Sample first, second;
};

TEST_F(PictureTest, FittedSizeAndPixels) {
    // clang-format off
    const FitCase cases[] = {
        {"520 x 260 JPEG", kWideJpeg, 260, 130, {0.25, 0.5, kRed}, {0.75, 0.5, kBlue}},
        {"260 x 520 JPEG", kTallJpeg, 130, 260, {0.5, 0.25, kRed}, {0.5, 0.75, kGreen}},
        {"100 x 50 JPEG, enlarged", kSmallJpeg, 260, 130, {0.25, 0.5, kBlue}, {0.75, 0.5, kYellow}},
        {"11 x 55 greyscale JPEG", kNarrowGreyJpeg, 51, 260, {0.5, 0.2, kWhite}, {0.5, 0.8, kBlack}},
        {"300 x 300 JPEG", kSquareJpeg, 260, 260, {0.25, 0.5, kGreen}, {0.75, 0.5, kMagenta}},
        {"11 x 55 GIF", kNarrowGif, 51, 260, {0.5, 0.2, kRed}, {0.5, 0.8, kBlue}},
        {"520 x 260 BMP", kWideBmp, 260, 130, {0.25, 0.5, kRed}, {0.75, 0.5, kBlue}},
        {"8 x 8 BMP, enlarged", kTinySquareBmp, 260, 260, {0.15, 0.5, kGreen}, {0.85, 0.5, kBlue}},
        {"800 x 600 BMP", kPhotoBmp, 260, 195, {0.25, 0.5, kYellow}, {0.75, 0.5, kBlue}},
        {"reveal picture", kRevealJpeg, 260, 130, {0.25, 0.5, kBlue}, {0.75, 0.5, kYellow}},
    };
    // clang-format on
    for (const FitCase& c : cases) {
        HBITMAP bitmap = loadFittedPicture(module_, c.id, "IMG", kBox, kBox);
        ASSERT_NE(bitmap, nullptr) << c.what;
        SIZE size = sizeOf(bitmap);
        EXPECT_EQ(size.cx, c.width) << c.what;
        EXPECT_EQ(size.cy, c.height) << c.what;
        Pixels pixels = pixelsOf(bitmap);
        ASSERT_EQ(pixels.width, size.cx) << c.what << ": pixels not readable";
        for (const Sample& s : {c.first, c.second}) {
            COLORREF seen = pixels.at(s.x, s.y);
            EXPECT_TRUE(closeColour(seen, s.colour))
                << c.what << " at (" << s.x << ", " << s.y << "): " << colourText(seen)
                << " instead of " << colourText(s.colour);
        }
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, NoBitmapWithoutAPicture) {
    struct Case {
        const char* what;
        int id;
        const char* type;
    };
    // clang-format off
    const Case cases[] = {
        {"question picture never stored", kNeverStored, "IMG"},
        {"reveal picture never stored", kRevealNeverStored, "IMG"},
        {"text stored as a picture", kNotAPicture, "IMG"},
        {"a single byte", kOneByte, "IMG"},
        {"a picture looked up under another type", kWideJpeg, "PATCH"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(loadFittedPicture(module_, c.id, c.type, kBox, kBox), nullptr) << c.what;
    }
    EXPECT_EQ(loadFittedPicture(GetModuleHandleA(nullptr), kWideJpeg, "IMG", kBox, kBox), nullptr)
        << "this program itself stores no pictures";
}

// Each call balances its own COM initialisation, on success and on failure alike, and
// leaves an initialisation made by its caller (a video quiz's shell) in place.
TEST_F(PictureTest, ComInitialisationBalanced) {
    const int ids[] = {kWideJpeg, kNotAPicture, kNeverStored, kNarrowGif};
    for (int id : ids) {
        HBITMAP bitmap = loadFittedPicture(module_, id, "IMG", kBox, kBox);
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        HRESULT fresh = CoInitialize(nullptr);
        EXPECT_EQ(fresh, S_OK) << "picture " << id << " left COM initialised on this thread";
        if (SUCCEEDED(fresh)) {
            CoUninitialize();
        }
    }

    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    HBITMAP nested = loadFittedPicture(module_, kSmallJpeg, "IMG", kBox, kBox);
    EXPECT_NE(nested, nullptr) << "decoding inside the caller's COM initialisation";
    HRESULT again = CoInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE) << "the caller's COM initialisation was undone";
    if (SUCCEEDED(again)) {
        CoUninitialize();
    }
    CoUninitialize();
    if (nested != nullptr) {
        DeleteObject(nested);
    }
}

// decodePicture keeps the picture's own size and copies the bytes; fitPicture consumes the
// decoded copy.
TEST_F(PictureTest, DecodeThenFit) {
    struct Case {
        const char* file;
        int width, height;
        int fittedWidth, fittedHeight;
    };
    // clang-format off
    const Case cases[] = {
        {"wide_520x260.jpg", 520, 260, 260, 130},
        {"narrow_11x55.gif", 11, 55, 51, 260},
        {"small_100x50.jpg", 100, 50, 260, 130},
    };
    // clang-format on
    for (const Case& c : cases) {
        Bytes bytes = readBytes(pictureFolder() + "/" + c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        HBITMAP decoded = decodePicture(bytes.data(), static_cast<DWORD>(bytes.size()));
        ASSERT_NE(decoded, nullptr) << c.file;
        std::fill(bytes.begin(), bytes.end(), 0); // the bitmap must not need them any more
        SIZE size = sizeOf(decoded);
        EXPECT_EQ(size.cx, c.width) << c.file;
        EXPECT_EQ(size.cy, c.height) << c.file;

        HBITMAP fitted = fitPicture(decoded, kBox, kBox);
        ASSERT_NE(fitted, nullptr) << c.file;
        SIZE fittedSize = sizeOf(fitted);
        EXPECT_EQ(fittedSize.cx, c.fittedWidth) << c.file;
        EXPECT_EQ(fittedSize.cy, c.fittedHeight) << c.file;
        BITMAP gone = {};
        EXPECT_EQ(GetObjectA(decoded, sizeof gone, &gone), 0)
            << c.file << ": the decoded copy outlived the fitting";
        DeleteObject(fitted);
    }
    EXPECT_EQ(decodePicture(nullptr, 10), nullptr);
    const char text[] = "pas une image";
    EXPECT_EQ(decodePicture(text, sizeof text), nullptr);
    EXPECT_EQ(decodePicture(text, 0), nullptr);
    EXPECT_EQ(fitPicture(nullptr, kBox, kBox), nullptr);
}

} // namespace
