// Making a quiz executable: the description checked and packed, its media prepared, and
// all of it written into a copy of the player program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "quizpack/description/description.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/common/quizpack_error.h"

// Anything that stops a checked description from becoming an executable: no player
// template, a template that cannot be rewritten, a picture that fails to convert, an
// output that cannot be written. what() names the file and says what to do. Exit code 2.
class BuildError : public QuizpackError {
  public:
    explicit BuildError(const std::string& message) : QuizpackError(kExitBadInput, message) {}
};

struct PlayerTemplate {
    std::string origin;         // where it came from, for messages
    std::filesystem::path file; // empty for the player carried inside quizpack
    std::vector<uint8_t> bytes;
};

// The running program's own file, or an empty path where the platform cannot tell.
std::filesystem::path runningExecutablePath();

// The resource type under which a Windows quizpack.exe carries the player program.
constexpr char kEmbeddedPlayerType[] = "QUIZPLAYER";

// The player program to copy: `explicitPlayer` when given; else quizplayer.exe beside
// `quizpackPath`; else the player carried inside `quizpackPath` as a "QUIZPLAYER"
// resource; else the installed one (../share/quizz/quizplayer.exe); else the build tree's
// ../win64/quizplayer.exe. Throws BuildError naming every place looked at and --player.
PlayerTemplate findPlayerTemplate(const std::optional<std::filesystem::path>& explicitPlayer,
                                  const std::filesystem::path& quizpackPath);

struct BuildOptions {
    std::filesystem::path description;
    std::filesystem::path output; // empty: named after the quiz's title (defaultOutputPath)
    std::optional<std::filesystem::path> player;
    Downscaling downscaling = Downscaling::ToPlayerBox;
    ReadOnlyOutput readOnlyOutput = ReadOnlyOutput::Refuse; // --force
    std::filesystem::path quizpackPath = runningExecutablePath();
};

// One media file done: its place in the list (1-based), how many there are, and a
// sentence saying what was stored.
using BuildProgress = std::function<void(size_t index, size_t total, const MediaFile& media,
                                         const std::string& done)>;

struct BuildReport {
    std::vector<Diagnostic> diagnostics; // from the check; with an error nothing is written
    bool built = false;
    std::filesystem::path output; // the executable written, or to be written
    std::string player;           // the template's origin
    size_t questions = 0;
    size_t mediaCount = 0;
    uint64_t mediaBytes = 0;   // as stored in the executable
    size_t packageBytes = 0;   // packed "PATCH" 104
    size_t codeTableBytes = 0; // packed "PATCH" 105
    size_t extrasBytes = 0;    // packed "PATCH" 106; 0 when the quiz has none
    uint64_t executableBytes = 0;
    double seconds = 0;
};

// What one prepared picture became, in words ("1600x1200 JPEG downscaled to 260x195 JPEG,
// 412.0 KB -> 18.1 KB").
std::string describePreparation(const PreparedPicture& picture, Downscaling downscaling);

// One media file made ready for its resource: pictures as the player shows them
// (preparePicture), clips as they are. Safe to call on several threads at once.
struct PreparedMedia {
    std::vector<uint8_t> bytes;
    std::string done;  // what was stored, for the progress line
    std::string error; // a picture that does not decode
    std::string hint;  // how to mend it
};
// What build stores of a picture or a sound, and the progress line that says so.
PreparedMedia prepareMediaBytes(std::vector<uint8_t> bytes, MediaRole role, Downscaling downscaling,
                                Rgb background);
PreparedMedia prepareMedia(const MediaFile& media, Downscaling downscaling, Rgb background);

// Adds the pictures that did not decode to `all` and hands them to `checked`. False when
// there were any: the caller then writes nothing.
bool noPictureErrors(const std::vector<Diagnostic>& pictureErrors, std::vector<Diagnostic>* all,
                     const CheckedCallback& checked);

// What an existing file is when it is no quiz executable ("a text file", "a Windows program
// that carries no quiz"); "" for a quiz executable, which build may replace.
std::string describeIfNotQuizExecutable(const std::vector<uint8_t>& bytes);

// Checks, packs, prepares the media (on every core) and writes the executable through a
// temporary file. Returns with built = false, nothing written, when the check found errors
// or pictures do not decode (all of them are listed). Throws BuildError, PackError or
// FileError, the output left as it was, and QuizpackError when the output is one of the
// inputs (the description, a media file, the player, quizpack), or, without --force,
// read-only or an existing file that is no quiz executable.
BuildReport buildQuiz(const BuildOptions& options, const BuildProgress& progress,
                      const CheckedCallback& checked = nullptr);
