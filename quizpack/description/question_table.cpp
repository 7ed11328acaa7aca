#include "quizpack/description/question_table.h"

#include "quizpack/common/closest_name.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"

namespace {

const char* const kColumnNames[kQuestionColumnCount] = {
    "answer", "answer2", "text", "reveal_text", "picture", "reveal_picture", "clip"};

const char kColumnList[] = "answer, answer2, text, reveal_text, picture, reveal_picture, clip";

// Every name a column is known by: its own, and the one a French spreadsheet gives it.
struct ColumnSpelling {
    const char* name; // UTF-8
    int column;
};
const ColumnSpelling kSpellings[] = {
    {"answer", kAnswerColumn},
    {"answer2", kAnswer2Column},
    {"text", kTextColumn},
    {"reveal_text", kRevealTextColumn},
    {"picture", kPictureColumn},
    {"reveal_picture", kRevealPictureColumn},
    {"clip", kClipColumn},
    {"r\u00e9ponse", kAnswerColumn},
    {"r\u00e9ponse 1", kAnswerColumn},
    {"r\u00e9ponse 2", kAnswer2Column},
    {"question", kTextColumn},
    {"texte r\u00e9v\u00e9l\u00e9", kRevealTextColumn},
    {"image", kPictureColumn},
    {"image r\u00e9v\u00e9l\u00e9e", kRevealPictureColumn},
};

// Spreadsheet users write "Answer " as readily as "answer": the header as messages name it.
std::string columnNameOf(const std::string& header) {
    size_t first = header.find_first_not_of(' ');
    size_t last = header.find_last_not_of(' ');
    std::string name = first == std::string::npos ? "" : header.substr(first, last - first + 1);
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return excerpt(printable(name));
}

// What is compared of a column name: its letters without accents and in small letters, and
// its other characters but blanks, '_' and '-', so that "Réponse 1", "REPONSE1" and
// "reponse_1" are one name.
std::string comparedName(const std::string& utf8) {
    std::string cp1252;
    Cp1252Error ignored;
    if (!utf8ToCp1252(utf8, &cp1252, &ignored)) {
        cp1252 = utf8;
    }
    std::string compared;
    for (char c : cp1252) {
        const std::string_view spelling = asciiSpelling(static_cast<unsigned char>(c));
        if (spelling.empty() && c != ' ' && c != '_' && c != '-') {
            compared += c;
        }
        for (char letter : spelling) {
            compared +=
                letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
        }
    }
    return compared;
}

int columnOf(const std::string& header) {
    const std::string compared = comparedName(header);
    for (const ColumnSpelling& s : kSpellings) {
        if (!compared.empty() && compared == comparedName(s.name)) {
            return s.column;
        }
    }
    return -1;
}

// The spelling of a known column within two edits of `header`, or "".
std::string nearestColumn(const std::string& header) {
    std::vector<std::string> compared;
    std::vector<const char*> known;
    for (const ColumnSpelling& s : kSpellings) {
        compared.push_back(comparedName(s.name));
    }
    for (const std::string& c : compared) {
        known.push_back(c.c_str());
    }
    const std::string nearest = closestName(comparedName(header), known.data(), known.size());
    for (size_t i = 0; i < compared.size() && !nearest.empty(); ++i) {
        if (compared[i] == nearest) {
            return kSpellings[i].name;
        }
    }
    return "";
}

class TableReader {
  public:
    TableReader(const std::string& file, QuestionTable* table, std::vector<Diagnostic>* out)
        : file_(file), table_(table), out_(out) {}

    bool read(const CsvTable& csv) {
        if (csv.records.empty()) {
            add(Severity::Error, 1, 0, "", tr("the file is empty: it has no header row"),
                tr("begin it with a row naming the columns, for example: {row}",
                   {{"row", std::string("answer") + csv.separator + "text"}}));
            return false;
        }
        if (!readHeader(csv.records.front(), csv.separator)) {
            return false;
        }
        for (size_t r = 1; r < csv.records.size(); ++r) {
            readRow(csv.records[r], csv.separator);
        }
        return true;
    }

  private:
    const std::string& file_;
    QuestionTable* table_;
    std::vector<Diagnostic>* out_;
    std::vector<int> columns_; // the question column of each field, -1 for an unknown one
    std::vector<std::string> names_;

    void add(Severity severity, int line, int column, const std::string& key,
             const std::string& message, const std::string& hint) {
        out_->push_back(Diagnostic{file_, line, key, severity, message, hint, column});
    }

    bool readHeader(const CsvRecord& header, char separator) {
        table_->headerLine = header.line;
        bool ok = true;
        for (const CsvField& field : header.fields) {
            std::string name = columnNameOf(field.text);
            int column = columnOf(field.text);
            if (column >= 0 && table_->hasColumn[column]) {
                add(Severity::Error, field.line, field.column, name,
                    tr("the header row names the column '{name}' twice", {{"name", name}}),
                    tr("rename or remove one of them"));
                ok = false;
            } else if (column >= 0) {
                table_->hasColumn[column] = true;
            } else if (!name.empty()) {
                const std::string nearest = nearestColumn(field.text);
                const MessageArguments arguments = {
                    {"name", name}, {"nearest", nearest}, {"columns", kColumnList}};
                add(Severity::Warning, field.line, field.column, name,
                    nearest.empty()
                        ? tr("unknown column '{name}', ignored", arguments)
                        : tr("unknown column '{name}', ignored; did you mean '{nearest}'?",
                             arguments),
                    nearest.empty() ? tr("the columns are: {columns}", arguments)
                                    : tr("rename it to '{nearest}'", arguments));
            }
            columns_.push_back(column);
            names_.push_back(name);
        }
        if (!table_->hasColumn[kAnswerColumn]) {
            add(Severity::Error, header.line, 0, "",
                tr("the header row names no 'answer' column; the first row of the file names "
                   "the columns"),
                tr("begin the file with a row such as: {row} (the columns are: {columns})",
                   {{"row", std::string("answer") + separator + "text" + separator + "picture"},
                    {"columns", kColumnList}}));
            ok = false;
        }
        return ok;
    }

    void readRow(const CsvRecord& record, char separator) {
        QuestionRow row;
        row.line = record.line;
        for (size_t i = 0; i < record.fields.size(); ++i) {
            const CsvField& field = record.fields[i];
            if (i >= columns_.size()) {
                if (!field.text.empty()) {
                    add(Severity::Error, field.line, field.column, "",
                        tr("this row has more fields than the header row names columns ({count})",
                           {{"count", columns_.size()}}),
                        tr("put a field that holds '{separator}' in double quotes, or name its "
                           "column in the header row",
                           {{"separator", std::string(1, separator)}}));
                }
                continue;
            }
            if (columns_[i] >= 0) {
                CsvField& cell = *(row.cells[static_cast<size_t>(columns_[i])] = field);
                cell.text = textOfSpreadsheetCell(cell.text);
            } else if (names_[i].empty() && !field.text.empty()) {
                add(Severity::Warning, field.line, field.column, "",
                    tr("column {column} has no name in the header row: this field is ignored",
                       {{"column", i + 1}}),
                    tr("name the column in the first row ({columns})", {{"columns", kColumnList}}));
            }
        }
        table_->rows.push_back(std::move(row));
    }
};

std::string utf8(const char* cp1252) {
    return cp1252ToUtf8(cp1252);
}

bool storesRevealTexts(int32_t mode) {
    return mode == REVEAL_TEXT || mode == REVEAL_TEXT_AND_PICTURE || mode == REVEAL_ALL_TEXTS;
}

int mediaColumn(MediaRole role) {
    switch (role) {
    case MediaRole::QuestionPicture:
        return kPictureColumn;
    case MediaRole::RevealPicture:
        return kRevealPictureColumn;
    case MediaRole::AudioClip:
    case MediaRole::VideoClip:
        break;
    }
    return kClipColumn;
}

using Cells = std::array<std::string, kQuestionColumnCount>;

Cells questionCells(const Quiz& quiz, const QuestionNode& node, int q,
                    const std::vector<MediaListing>& media) {
    Cells cells;
    cells[kAnswerColumn] = utf8(answerWithForms(node, 1).c_str());
    if (quiz.answersPerQuestion == 2) {
        cells[kAnswer2Column] = utf8(answerWithForms(node, 2).c_str());
    }
    cells[kTextColumn] = utf8(node.questionText);
    if (storesRevealTexts(quiz.revealMode)) {
        cells[kRevealTextColumn] = utf8(node.revealText);
    }
    for (const MediaListing& m : media) {
        if (m.question == q) {
            cells[static_cast<size_t>(mediaColumn(m.role))] = m.file;
        }
    }
    return cells;
}

} // namespace

const char* questionColumnName(int column) {
    return column >= 0 && column < kQuestionColumnCount ? kColumnNames[column] : "";
}

bool readQuestionTable(std::string_view text, const std::string& file, QuestionTable* table,
                       std::vector<Diagnostic>* diagnostics) {
    CsvTable csv;
    CsvError error;
    if (findUtf16(text, true, &error) || !readCsv(text, &csv, &error)) {
        diagnostics->push_back(Diagnostic{file, error.line, "", Severity::Error, error.message,
                                          error.hint, error.column});
        return false;
    }
    return TableReader(file, table, diagnostics).read(csv);
}

std::string writeQuestionTable(const Quiz& quiz, const std::vector<MediaListing>& media) {
    int count = quiz.questionCount < kMaxQuestions ? quiz.questionCount : kMaxQuestions;
    std::vector<Cells> rows;
    const QuestionNode* node = quiz.head;
    for (int q = 1; q <= count && node != nullptr; ++q, node = node->next) {
        rows.push_back(questionCells(quiz, *node, q, media));
    }
    // The answer column always; the others when the quiz stores something in them.
    std::vector<int> columns = {kAnswerColumn};
    for (int c = kAnswer2Column; c < kQuestionColumnCount; ++c) {
        bool used = c == kAnswer2Column && quiz.answersPerQuestion == 2;
        for (const Cells& row : rows) {
            used = used || !row[static_cast<size_t>(c)].empty();
        }
        if (used) {
            columns.push_back(c);
        }
    }
    const char separator = ';';
    std::vector<std::string> fields;
    for (int c : columns) {
        fields.push_back(kColumnNames[c]);
    }
    std::string out = "\xEF\xBB\xBF" + csvRecord(fields, separator);
    for (const Cells& row : rows) {
        fields.clear();
        for (int c : columns) {
            fields.push_back(spreadsheetCell(row[static_cast<size_t>(c)]));
        }
        out += csvRecord(fields, separator);
    }
    return out;
}
