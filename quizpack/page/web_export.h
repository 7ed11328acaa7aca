// quizpack export: a quiz description or a quiz executable made into one self-contained web
// page that plays the same quiz in a browser, with the player's own grader compiled to
// WebAssembly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "quizpack/description/description.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/common/quizpack_error.h"
#include "quizpack/page/web_page.h"

// Anything that stops a quiz from becoming a page: an input that is no quiz, a film that
// cannot be converted, ffmpeg missing. what() says what and how to fix it. Exit code 2.
class ExportError : public QuizpackError {
  public:
    explicit ExportError(const std::string& message) : QuizpackError(kExitBadInput, message) {}
};

struct ExportOptions {
    std::filesystem::path input;  // QUIZ.toml, or a quiz executable
    std::filesystem::path output; // empty: named after the quiz's title (defaultOutputPath)
    Downscaling downscaling = Downscaling::ToPlayerBox;
    std::string ffmpeg = "ffmpeg";                          // converts the AVI films to WebM
    ReadOnlyOutput readOnlyOutput = ReadOnlyOutput::Refuse; // Replace with --force
};

// One media file done: its place in the list (1-based), how many there are, its "IMG"
// identifier, the file it came from and a sentence saying what was stored.
using ExportProgress = std::function<void(size_t index, size_t total, uint32_t resourceId,
                                          const std::string& name, const std::string& done)>;

struct ExportReport {
    std::vector<Diagnostic> diagnostics; // from the check of a description
    std::vector<std::string> warnings;   // from the reading of an executable
    bool exported = false;
    std::filesystem::path output; // the page written, or to be written
    size_t questions = 0;
    size_t mediaCount = 0;
    uint64_t mediaBytes = 0; // as embedded, before the page's text encoding
    uint64_t pageBytes = 0;
    std::string storageKey;
    double seconds = 0;
};

// Checks (or reads) the quiz, prepares its media as build does, converts its films and
// writes the page through a temporary file. Returns with exported = false and nothing
// written when a description has errors or pictures that do not decode. Throws
// ExportError, BuildError, QuizReadError, PackError or FileError, the output left as it was,
// and QuizpackError when the output is one of its inputs, or, without --force, read-only or
// an existing file that is no page export wrote.
ExportReport exportWebPage(const ExportOptions& options, const ExportProgress& progress,
                           const std::function<void(const std::vector<Diagnostic>&)>& checked);

// What an existing file is when it is no page that export wrote ("a text file"); "" for
// such a page, which export may replace.
std::string describeIfNotExportedPage(const std::vector<uint8_t>& bytes);

// The MIME type a browser plays a clip or shows a picture of this format as.
const char* webMimeType(MediaFormat format);

// A film as a WebM file (VP8, Opus) that browsers play, made by `ffmpeg`. Throws
// ExportError naming `name` when ffmpeg cannot be run or fails.
std::vector<uint8_t> convertFilmToWebm(const std::vector<uint8_t>& film, const std::string& name,
                                       const std::string& ffmpeg);

// A media file of a description as the page embeds it; null leaves it out.
using PageMediaSource = std::function<std::shared_ptr<const WebMedia>(const MediaFile& media)>;

// The page of a checked, error-free description, its answers kept under `storageKey`, with
// the media `media` gives (the studio's preview, which keeps them prepared).
std::string renderCheckedDescription(const Description& description, const std::string& storageKey,
                                     const PageMediaSource& media);
