#include "quizpack/executable/extractor.h"

#include <cstdio>

#include "quizpack/common/file_io.h"
#include "quizpack/description/question_table.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

std::string mediaFileName(const MediaListing& media) {
    char name[32];
    snprintf(name, sizeof name, "media/%c%02d.%s",
             media.role == MediaRole::RevealPicture ? 'r' : 'q', media.question,
             mediaFormatExtension(media.format));
    return name;
}

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

void refuseExtraction(const QuizReading& reading, const fs::path& dir, Overwrite overwrite) {
    if (reading.malformed) {
        throw ExtractError(tr("{file}: its quiz package is malformed, so no description can "
                              "rebuild it; quizpack inspect shows what the player would load of it",
                              {{"file", reading.source}}));
    }
    std::error_code ec;
    if (fs::exists(dir, ec)) {
        if (!fs::is_directory(dir, ec)) {
            throw ExtractError(
                tr("{folder} exists and is not a folder", {{"folder", displayPath(dir)}}));
        }
        if (overwrite == Overwrite::Refuse && !fs::is_empty(dir, ec)) {
            throw ExtractError(tr("{folder} is not empty; give an empty or new folder, or pass "
                                  "--force to write into it (files of the same names are "
                                  "replaced)",
                                  {{"folder", displayPath(dir)}}));
        }
    }
}

// Extract writes inside DIR only: a DIR/media that is a link would take the media files
// wherever it points. (Files that are links are replaced by the rename, never followed.)
void refuseLinkedMediaFolder(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(dir / "media", ec))) {
        throw ExtractError(
            tr("{media} is a symbolic link; extract writes only inside {folder}: "
               "remove the link, or give another folder",
               {{"media", displayPath(dir / "media")}, {"folder", displayPath(dir)}}));
    }
}

// The quiz's media with their file names, and what a rebuild of them would change.
std::vector<MediaListing> nameMediaFiles(const QuizReading& reading,
                                         std::vector<std::string>* warnings) {
    std::vector<MediaListing> media = reading.media;
    std::vector<std::string> large; // pictures a plain build would store smaller
    for (MediaListing& m : media) {
        m.file = mediaFileName(m);
        bool picture = m.role == MediaRole::QuestionPicture || m.role == MediaRole::RevealPicture;
        if (picture && !playerShowsPicture(m.format)) {
            warnings->push_back(tr("{file} is {format}, which the player cannot show; build will "
                                   "convert it",
                                   {{"file", m.file}, {"format", mediaFormatName(m.format)}}));
        } else if (picture &&
                   (m.pictureSize.width > kPictureBox || m.pictureSize.height > kPictureBox)) {
            large.push_back(m.file + " (" + std::to_string(m.pictureSize.width) + "x" +
                            std::to_string(m.pictureSize.height) + ")");
        } else if (m.format == MediaFormat::Unknown) {
            warnings->push_back(tr("{file}: the format of IMG {id} is unknown; check will refuse "
                                   "it until it is replaced",
                                   {{"file", m.file}, {"id", m.resourceId}}));
        }
    }
    if (!large.empty()) {
        const MessageArguments arguments = {{"first", large.front()}};
        warnings->push_back(
            large.size() > 1
                ? trn("{n} picture is larger than the player shows them, {first} and more: build "
                      "them with --keep-pictures to store them unchanged (without it, build "
                      "stores them at the size the player shows)",
                      "{n} pictures are larger than the player shows them, {first} and more: "
                      "build them with --keep-pictures to store them unchanged (without it, "
                      "build stores them at the size the player shows)",
                      large.size(), arguments)
                : trn("{n} picture is larger than the player shows them, {first}: build them "
                      "with --keep-pictures to store them unchanged (without it, build stores "
                      "them at the size the player shows)",
                      "{n} pictures are larger than the player shows them, {first}: build them "
                      "with --keep-pictures to store them unchanged (without it, build stores "
                      "them at the size the player shows)",
                      large.size(), arguments));
    }
    return media;
}

constexpr char kQuestionsFile[] = "questions.csv";

std::string extractedDescription(const QuizReading& reading, const std::vector<MediaListing>& media,
                                 QuestionFormat format) {
    std::vector<std::string> header = {
        "Extracted from " + reading.source + " by quizpack extract.",
        "quizpack build on this file makes the same \"PATCH\" resources again.",
    };
    std::vector<std::string> trailer;
    if (!reading.unusedImages.empty()) {
        trailer.push_back("Resources of " + reading.source +
                          " that this quiz never shows (not extracted):");
        for (const std::string& u : reading.unusedImages)
            trailer.push_back("  " + u);
    }
    return writeDescription(*reading.quiz, media, header, trailer,
                            format == QuestionFormat::Csv ? kQuestionsFile : nullptr);
}

} // namespace

ExtractResult extractQuiz(const QuizReading& reading, const fs::path& dir, Overwrite overwrite,
                          QuestionFormat format) {
    refuseExtraction(reading, dir, overwrite);
    ExtractResult result;
    const std::vector<MediaListing> media = nameMediaFiles(reading, &result.warnings);
    const std::string description = extractedDescription(reading, media, format);

    MadeDirectories dirs;
    dirs.make(dir);
    if (!media.empty()) {
        refuseLinkedMediaFolder(dir);
        dirs.make(dir / "media");
    }
    PendingFiles files;
    for (const MediaListing& m : media) {
        files.stage(dir / fs::u8path(m.file), imageData(reading, m.resourceId));
    }
    if (format == QuestionFormat::Csv) {
        files.stage(dir / kQuestionsFile, bytesOf(writeQuestionTable(*reading.quiz, media)));
    }
    files.stage(dir / "quiz.toml", bytesOf(description));
    files.commit(&result.written);
    dirs.committed = true;
    return result;
}
