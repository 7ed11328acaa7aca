// Quiz descriptions: the UTF-8 TOML file an author writes, read into the quiz the player
// will hold and the media files it needs, with every problem found on the way.
//
//   title = "Capitales"        creator, explanation: optional texts
//   kind = "text"              text | picture | audio | video
//   answers_per_question = 1   1 or 2
//   labels = ["A", "B"]        the two answer labels (shown with two answers)
//   reveal = "none"            none | picture | text | text+picture | all-texts
//   background = "#C0D8FF"     the board colour
//   codes = ["AB", "CD"]       codes[s-1] is shown for s solved questions
//   link = "https://..."       the header's link (empty: none); the program's own when absent
//   questions = "q.csv"        or the questions as a CSV file (see question_table.h)
//   [grading]                  accents = "optional", case = "any", quotes = "any"
//   [[question]]               answers, text, reveal_text, picture, reveal_picture, clip;
//                              an answer "A | B" accepts either form
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/resource.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/media/media_formats.h"
#include "quizpack/media/pictures.h"
#include "quizpack/common/quiz_holder.h"

// The "IMG" families, as quizpack's unsigned identifiers: base + q holds question q's picture
// or clip, and its reveal picture.
constexpr uint32_t kQuestionMediaBase = IDR_QUESTION_MEDIA_BASE;
constexpr uint32_t kRevealPictureBase = IDR_REVEAL_PICTURE_BASE;

enum class MediaRole { QuestionPicture, RevealPicture, AudioClip, VideoClip };

// One media file the quiz will store, in question order (picture or clip, then reveal
// picture).
struct MediaFile {
    MediaRole role = MediaRole::QuestionPicture;
    int question = 0;              // 1-based
    uint32_t resourceId = 0;       // "IMG" identifier
    std::string given;             // the path as written in the description (UTF-8)
    std::filesystem::path written; // `given` with '/' for each '\\', relative or absolute
    std::filesystem::path path;    // resolved against the description's folder
    std::string key;               // "question[3].picture"
    int line = 0;
    std::string file; // the description, or the CSV file of questions, that names it
    int column = 0;   // in that file
    // Found by the check:
    MediaFormat format = MediaFormat::Unknown;
    uint64_t size = 0;
    PictureSize pictureSize{0, 0}; // pictures only
};

// One question's texts, in Windows-1252 as the package stores them.
struct QuestionEntry {
    // Each answer's accepted forms joined by "|" (which no text holds), the main one first;
    // an answer given without "|" is one form, as written.
    std::string answer1;
    std::string answer2; // empty with one answer per question
    std::string text;
    std::string revealText;
    int line = 0; // the line of its [[question]] header, or of its row in the CSV file
};

struct Description {
    std::string file;             // as the author gave it, for messages
    std::filesystem::path folder; // media paths are relative to it
    int32_t quizType = 0;         // QuizType
    int32_t answersPerQuestion = 1;
    int32_t revealMode = 0; // RevealMode
    Rgb background;
    std::string title, creator, explanation, answerLabel1, answerLabel2; // Windows-1252
    std::vector<std::string> codes; // Windows-1252; at most one per question
    uint32_t tolerances = 0;        // GradingTolerance bits, from [grading]
    bool hasLink = false;           // `link` given: the header shows it (nothing when empty)
    std::string link;               // Windows-1252
    std::vector<QuestionEntry> questions;
    std::filesystem::path questionsFile; // the CSV file the questions came from, if any
    std::vector<MediaFile> media;
};

struct CheckResult {
    Description description; // complete only when no diagnostic is an error
    std::vector<Diagnostic> diagnostics;
    bool ok() const { return !hasErrors(diagnostics); }
};

// How far the check goes into pictures: decoding every one (check), or reading their
// headers only, for a caller that decodes them itself afterwards (build).
enum class PictureDecoding { Full, HeaderOnly };

// What the check learns of one media file by reading it.
struct MediaFacts {
    std::string readError; // why the file cannot be read; empty when it was read
    std::string readHint;  // how to mend that; empty for the usual hint
    uint64_t size = 0;
    MediaFormat format = MediaFormat::Unknown;
    // Pictures (question and reveal pictures that are not empty): what decoding found.
    PictureInfo picture;
    std::string pictureError, pictureHint; // a picture that does not decode
};

// Reads one media file and, for a picture, decodes it (Full) or reads its header. Safe to
// call on several threads at once. Throws only std::bad_alloc.
MediaFacts examineMediaFile(const MediaFile& media, PictureDecoding decoding);

// How a check reads the media files: examineMediaFile, or a caller's own that remembers
// what it learnt (the studio's). Called on several threads at once.
using MediaExaminer = std::function<MediaFacts(const MediaFile& media, PictureDecoding decoding)>;

// Reads and checks a description file and every media file it names, the media files on
// all cores. Problems, including an unreadable file, come back as diagnostics; it throws
// only std::bad_alloc.
CheckResult checkDescriptionFile(const std::filesystem::path& file,
                                 PictureDecoding decoding = PictureDecoding::Full);

// Called with the check's problems before any media is prepared, and again with the
// pictures that turn out not to decode while they are prepared.
using CheckedCallback = std::function<void(const std::vector<Diagnostic>& diagnostics)>;

// The check that build, export and key make first: pictures by their headers only (they are
// decoded once, later, while prepared); the problems go into *diagnostics and to `checked`
// at once, so that the author sees them before any slow work. The description is for use
// only when *diagnostics hold no error.
Description checkBeforeMaking(const std::filesystem::path& file,
                              std::vector<Diagnostic>* diagnostics, const CheckedCallback& checked);

// The same for a description already in memory; `displayName` names it in messages and
// media paths are resolved against `folder`. `examiner` reads the media files when given.
CheckResult checkDescriptionText(std::string_view text, const std::string& displayName,
                                 const std::filesystem::path& folder,
                                 PictureDecoding decoding = PictureDecoding::Full,
                                 const MediaExaminer& examiner = nullptr);

// The Quiz a checked, error-free description makes: texts, questions with their accepted
// forms, reveal texts, codes, colour (no brush), tolerances and link. Throws std::bad_alloc.
QuizPtr makeQuiz(const Description& description);

// Description spellings of the model's numbers: "text", "picture", "audio", "video" and
// "none", "picture", "text", "text+picture", "all-texts". Null for values outside them.
const char* quizKindName(int32_t quizType);
const char* revealName(int32_t revealMode);

// "#RRGGBB" (upper-case hex).
std::string colourName(Rgb colour);
// The colour of a package's COLORREF (0x00BBGGRR).
Rgb rgbOfColourref(uint32_t colourref);

// A path as an author writes it (UTF-8) in a description or a CSV cell, each \ read as a
// folder separator on every system, as Windows reads it: media\q01.jpg is media/q01.jpg.
std::filesystem::path slashedPath(const std::string& utf8);

// The description file and every media file it names, as inputs.
std::vector<CommandInput> descriptionInputs(const std::filesystem::path& descriptionFile,
                                            const Description& description);
