// Turning a read quiz back into a description and its media files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "quizpack/executable/quiz_reader.h"
#include "quizpack/common/quizpack_error.h"

// An extraction refused (a folder that holds files, a malformed package). Exit code 2.
class ExtractError : public QuizpackError {
  public:
    explicit ExtractError(const std::string& message) : QuizpackError(kExitBadInput, message) {}
};

enum class Overwrite { Refuse, Allow };

// Where the extracted description keeps its questions: as [[question]] tables, or in
// DIR/questions.csv for a spreadsheet.
enum class QuestionFormat { Tables, Csv };

struct ExtractResult {
    std::vector<std::filesystem::path> written; // quiz.toml last
    std::vector<std::string> warnings;
};

// "media/q01.jpg", "media/r07.gif", "media/q12.mp3": q for the question's own picture or
// clip, r for the reveal picture, the extension from the file's first bytes.
std::string mediaFileName(const MediaListing& media);

// Writes DIR/quiz.toml and DIR/media/... so that build makes the same packed resources
// (and, for pictures build keeps as they are, the same "IMG" resources). A DIR that holds
// anything is refused unless `overwrite` allows it; then files of the same names are
// replaced and others left alone. All files are written to temporary names first and
// renamed at the end: on failure nothing is left behind, not even a DIR it created.
// A malformed package is refused. Throws ExtractError (a refusal) or FileError.
ExtractResult extractQuiz(const QuizReading& reading, const std::filesystem::path& dir,
                          Overwrite overwrite, QuestionFormat format = QuestionFormat::Tables);
