// checkDescriptionText, the check behind 'quizpack check', on arbitrary text, beside a
// media folder of small pictures in every format quizpack reads (BMP top down and bottom
// up, GIF, PNG with transparency, JPEG, large and small) and headers that claim more than
// their files hold. No crash, no read outside a buffer (ASan), no undefined behaviour
// (UBSan), and a verdict the other commands can rely on: messages of readable length, and
// an accepted description that packs and whose pictures have a size.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

#include "content/lzw.h"
#include "content/package.h"
#include "tests/host/authoring_test_support.h"
#include "tests/host/hostile_pictures.h"
#include "quizpack/description/description.h"
#include "quizpack/common/file_io.h"

namespace {

using namespace authoring_test;
using namespace hostile_pictures;

// A formatted diagnostic is a line or two of prose around cut excerpts of the input.
constexpr size_t kLongestDiagnostic = 2000;

// Made once, kept to the end (no destructor runs before the exit handler removes it).
fs::path* gMediaFolder = nullptr;

void removeMediaFolder() {
    std::error_code ec;
    fs::remove_all(*gMediaFolder, ec);
}

const fs::path& mediaFolder() {
    if (gMediaFolder != nullptr) {
        return *gMediaFolder;
    }
    gMediaFolder = new fs::path(fs::temp_directory_path() /
                                ("quizpack-fuzz-media-" + std::to_string(getpid())));
    const fs::path& dir = *gMediaFolder;
    fs::create_directories(dir / "media");
    writeFileAtomically(dir / "media/td.bmp", topDownBmp(300, 200));
    writeFileAtomically(dir / "media/tds.bmp", topDownBmp(20, 10));
    writeFileAtomically(dir / "media/bu.bmp", bmpPicture(30, 20));
    writeFileAtomically(dir / "media/a.gif", gifScreen(300, 200));
    writeFileAtomically(dir / "media/b.gif", gifScreen(1, 1));
    writeFileAtomically(dir / "media/a.png", pngPicture(40, 30, 128));
    writeFileAtomically(dir / "media/a.jpg", jpegPicture(24, 16));
    writeFileAtomically(dir / "media/big.jpg", jpegPicture(400, 300));
    writeFileAtomically(dir / "media/claims.bmp", bmpHeaderOnly(8000, -8000));
    writeFileAtomically(dir / "media/claims.png", pngClaiming(8000, 8000));
    writeFileAtomically(dir / "media/claims.jpg", jpegClaiming(8000, 8000));
    writeFileAtomically(dir / "media/q.mp3", mp3Clip(true));
    writeFileAtomically(dir / "media/q.avi", riffFile("AVI "));
    atexit(removeMediaFolder);
    return dir;
}

int lineCount(std::string_view text) {
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CheckResult result = checkDescriptionText(text, "fuzz.toml", mediaFolder());
    for (const Diagnostic& d : result.diagnostics) {
        if (formatDiagnostic(d).size() > kLongestDiagnostic || d.line < 0 ||
            d.line > lineCount(text)) {
            std::abort();
        }
    }
    if (!result.ok()) {
        return 0;
    }
    // What check accepts, pack and build take: the package fits the packer, and every
    // picture has the size it is stored and listed at.
    if (layOutPackage(*makeQuiz(result.description)).size() > static_cast<size_t>(kLzwMaxInput)) {
        std::abort();
    }
    for (const MediaFile& m : result.description.media) {
        bool picture = m.role == MediaRole::QuestionPicture || m.role == MediaRole::RevealPicture;
        if (picture && (m.pictureSize.width < 1 || m.pictureSize.height < 1)) {
            std::abort();
        }
    }
    return 0;
}
