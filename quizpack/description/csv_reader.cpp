#include "quizpack/description/csv_reader.h"

#include <cstdio>
#include <cstring>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/messages.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A position in the text, counted as an editor counts it: lines end at CR LF, LF or a lone
// CR; columns count characters, not the bytes of their UTF-8 encoding.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }
    char peek() const { return text_[at_]; }
    int line() const { return line_; }
    int column() const { return column_; }

    void advance() {
        auto c = static_cast<unsigned char>(text_[at_++]);
        bool crBeforeLf = c == '\r' && !atEnd() && peek() == '\n';
        if (c == '\n' || (c == '\r' && !crBeforeLf)) {
            ++line_;
            column_ = 1;
        } else if ((c & 0xC0) != 0x80) {
            ++column_;
        }
    }

    // Passes over CR LF, LF or CR.
    void skipLineEnd() {
        bool cr = peek() == '\r';
        advance();
        if (cr && !atEnd() && peek() == '\n') {
            advance();
        }
    }

  private:
    std::string_view text_;
    size_t at_ = 0;
    int line_ = 1;
    int column_ = 1;
};

bool checkUtf8(std::string_view text, CsvError* error) {
    Cursor cursor(text);
    for (size_t at = 0; at < text.size();) {
        size_t length = utf8CharacterLength(text, at);
        if (length == 0) {
            char byte[8];
            snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[at]));
            *error = {cursor.line(), cursor.column(),
                      tr("the file is not UTF-8 here (byte {byte}); it was perhaps saved as "
                         "Windows-1252, as some spreadsheets' plain CSV is",
                         {{"byte", byte}}),
                      tr("save it again as \"CSV UTF-8\" (in LibreOffice: character set "
                         "Unicode (UTF-8))")};
            return false;
        }
        for (size_t i = 0; i < length; ++i, ++at) {
            cursor.advance();
        }
    }
    return true;
}

class RecordReader {
  public:
    RecordReader(std::string_view text, char separator) : cursor_(text), separator_(separator) {}

    bool atEnd() const { return cursor_.atEnd(); }

    // One record, up to and over its line end.
    bool read(CsvRecord* record, CsvError* error) {
        record->line = cursor_.line();
        while (true) {
            CsvField field;
            field.line = cursor_.line();
            field.column = cursor_.column();
            bool ok = !cursor_.atEnd() && cursor_.peek() == '"' ? readQuoted(&field, error)
                                                                : readPlain(&field);
            if (!ok) {
                return false;
            }
            if (record->fields.size() == kMaxCsvFields) {
                *error = {field.line, field.column,
                          tr("this row has more than {most} fields; a file of questions has a "
                             "few columns",
                             {{"most", kMaxCsvFields}}),
                          tr("remove the '{separator}' at the end of the row: a spreadsheet may "
                             "write one for every column it holds, even empty ones",
                             {{"separator", separatorName()}})};
                return false;
            }
            record->fields.push_back(std::move(field));
            if (cursor_.atEnd()) {
                return true;
            }
            if (cursor_.peek() != separator_) {
                cursor_.skipLineEnd();
                return true;
            }
            cursor_.advance();
        }
    }

  private:
    Cursor cursor_;
    char separator_;

    const char* separatorName() const {
        return separator_ == '\t' ? tr("tabs") : separator_ == ';' ? ";" : ",";
    }

    bool endsField(char c) const { return c == separator_ || c == '\r' || c == '\n'; }

    // A quote inside an unquoted field is kept as it is, as spreadsheets read it.
    bool readPlain(CsvField* field) {
        while (!cursor_.atEnd() && !endsField(cursor_.peek())) {
            field->text += cursor_.peek();
            cursor_.advance();
        }
        return true;
    }

    bool readQuoted(CsvField* field, CsvError* error) {
        field->quoted = true;
        cursor_.advance();
        while (true) {
            if (cursor_.atEnd()) {
                *error = {field->line, field->column,
                          tr("the quoted field that begins here is never closed: its closing "
                             "quote (\") is missing"),
                          tr("end the field with a \"; a quote inside a quoted field is written "
                             "twice (\"\")")};
                return false;
            }
            char c = cursor_.peek();
            cursor_.advance();
            if (c != '"') {
                field->text += c;
            } else if (!cursor_.atEnd() && cursor_.peek() == '"') {
                field->text += '"';
                cursor_.advance();
            } else {
                break;
            }
        }
        if (!cursor_.atEnd() && !endsField(cursor_.peek())) {
            *error = {cursor_.line(), cursor_.column(),
                      tr("text after the closing quote of a quoted field; a field ends at its "
                         "closing quote, before the next '{separator}' or line end",
                         {{"separator", std::string(1, separator_)}}),
                      tr("write the whole field in quotes and double each quote inside it, "
                         "for example \"the \"\"Mona Lisa\"\"\"")};
            return false;
        }
        return true;
    }
};

bool isBlank(const CsvRecord& record) {
    for (const CsvField& f : record.fields) {
        if (!f.text.empty() || f.quoted) {
            return false;
        }
    }
    return true;
}

// The fields of the first row that is not blank, read with `separator`; 0 when it does not
// read.
size_t headerFieldCount(std::string_view text, char separator) {
    RecordReader reader(text, separator);
    CsvError ignored;
    while (!reader.atEnd()) {
        CsvRecord record;
        if (!reader.read(&record, &ignored)) {
            // Too many fields still name the separator, for readCsv to refuse the row.
            return record.fields.size() == kMaxCsvFields ? kMaxCsvFields : 0;
        }
        if (!isBlank(record)) {
            return record.fields.size();
        }
    }
    return 0;
}

// ';' or a tab when the header row, read exactly as the rows are, has at least two fields
// with it and more than with the separators before it (',', then ';'); else ','. A
// one-column header names no separator: it then reads as its rows are written back
// (csvRecord quotes a field holding any separator).
char detectSeparator(std::string_view text) {
    char separator = ',';
    size_t most = headerFieldCount(text, ',');
    for (char other : {';', '\t'}) {
        const size_t fields = headerFieldCount(text, other);
        if (fields >= 2 && fields > most) {
            separator = other;
            most = fields;
        }
    }
    return separator;
}

} // namespace

bool readCsv(std::string_view text, CsvTable* table, CsvError* error, char separator) {
    table->records.clear();
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    if (findUtf16(text, false, error) || !checkUtf8(text, error)) {
        return false;
    }
    table->separator = separator != 0 ? separator : detectSeparator(text);
    RecordReader reader(text, table->separator);
    while (!reader.atEnd()) {
        CsvRecord record;
        if (!reader.read(&record, error)) {
            return false;
        }
        // Blank lines, and the rows of bare separators spreadsheets leave below a table.
        if (!isBlank(record)) {
            table->records.push_back(std::move(record));
        }
    }
    return true;
}

bool findUtf16(std::string_view text, bool byLetters, CsvError* error) {
    const bool mark = text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF";
    const auto zero = [&](size_t i) { return text[i] == '\0'; };
    const bool letters = byLetters && text.size() >= 4 && zero(0) != zero(1) &&
                         zero(0) == zero(2) && zero(1) == zero(3);
    if (!mark && !letters) {
        return false;
    }
    *error = {1, 1,
              mark ? tr("the file is saved as UTF-16 (it begins with a UTF-16 byte order mark); "
                        "quizpack reads CSV saved as UTF-8")
                   : tr("the file is saved as UTF-16 (its letters are separated by NUL bytes); "
                        "quizpack reads CSV saved as UTF-8"),
              tr("save it again as \"CSV UTF-8\" (in LibreOffice: character set Unicode (UTF-8); "
                 "in Excel: CSV UTF-8)")};

    return true;
}

std::string csvRecord(const std::vector<std::string>& fields, char separator) {
    bool allEmpty = true;
    for (const std::string& f : fields) {
        allEmpty = allEmpty && f.empty();
    }
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (i > 0) {
            line += separator;
        }
        bool quote = f.find_first_of(",;\t\"\r\n") != std::string::npos ||
                     (!f.empty() && (f.front() == ' ' || f.back() == ' ')) || (allEmpty && i == 0);
        if (!quote) {
            line += f;
            continue;
        }
        line += '"';
        for (char c : f) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line + "\r\n";
}

namespace {

// Where a text of apostrophes before a formula's first character leaves off, or npos.
size_t formulaStart(const std::string& text) {
    const size_t at = text.find_first_not_of('\'');
    return at != std::string::npos && text[at] != '\0' && strchr("=+-@\t\r", text[at]) != nullptr
               ? at
               : std::string::npos;
}

} // namespace

std::string spreadsheetCell(const std::string& text) {
    return formulaStart(text) != std::string::npos ? "'" + text : text;
}

std::string textOfSpreadsheetCell(const std::string& cell) {
    return !cell.empty() && cell[0] == '\'' && formulaStart(cell) != std::string::npos
               ? cell.substr(1)
               : cell;
}
