// The questions of a description kept in a CSV file (questions = "questions.csv"): a header
// row naming the columns, then one question a row, as a spreadsheet saves them.
//
//   answer;answer2;text;reveal_text;picture;reveal_picture;clip
//   Paris;France;Quelle capitale ?;;media/q01.jpg;;
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "content/quiz.h"
#include "quizpack/description/csv_reader.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/description/toml_writer.h"

enum QuestionColumn {
    kAnswerColumn,
    kAnswer2Column,
    kTextColumn,
    kRevealTextColumn,
    kPictureColumn,
    kRevealPictureColumn,
    kClipColumn,
    kQuestionColumnCount
};

// "answer", "answer2", "text", "reveal_text", "picture", "reveal_picture", "clip".
const char* questionColumnName(int column);

struct QuestionRow {
    int line = 0;
    // The row's cell of each column; none when the header has no such column or the row
    // ends before it.
    std::array<std::optional<CsvField>, kQuestionColumnCount> cells;
};

struct QuestionTable {
    int headerLine = 0;
    std::array<bool, kQuestionColumnCount> hasColumn{};
    std::vector<QuestionRow> rows;
};

// Reads a questions file's text; `file` names it in the diagnostics it adds. False when the
// file gives no table (malformed CSV, no header row, no answer column, a column named twice).
bool readQuestionTable(std::string_view text, const std::string& file, QuestionTable* table,
                       std::vector<Diagnostic>* diagnostics);

// The quiz's questions as such a file (UTF-8 with a byte-order mark, ';' between fields,
// CR LF line ends), with the columns the quiz uses. `media` as for writeDescription.
std::string writeQuestionTable(const Quiz& quiz, const std::vector<MediaListing>& media);
