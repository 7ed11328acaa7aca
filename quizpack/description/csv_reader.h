// Reading CSV text as spreadsheets write it: UTF-8 with or without a byte-order mark, ',',
// ';' or a tab between fields (whichever the header row uses: French spreadsheets write ';',
// "Text (tab-separated)" a tab), fields in double quotes holding separators, doubled quotes
// ("") and line breaks, lines ending in CR LF, LF or CR.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CsvField {
    std::string text; // UTF-8 as written, quotes removed and "" made one quote
    int line = 0;     // where the field begins, 1-based
    int column = 0;   // in characters, 1-based
    bool quoted = false;
};

struct CsvRecord {
    int line = 0; // where the record begins
    std::vector<CsvField> fields;
};

// A row of more fields is refused: a questions file has a few columns, and a megabyte of
// separators would otherwise take hundreds of megabytes to hold.
constexpr size_t kMaxCsvFields = 256;

struct CsvTable {
    char separator = ',';
    // The header row first. Blank lines and rows of bare separators are left out; a row
    // with a quoted empty field ("") is kept.
    std::vector<CsvRecord> records;
};

struct CsvError {
    int line = 0;
    int column = 0;
    std::string message;
    std::string hint;
};

// Reads the whole text, with `separator`, or with the one its header row uses when 0. On
// malformed input (a quoted field never closed, text after a closing quote, bytes that are
// not UTF-8, a file saved as UTF-16, a row of more than kMaxCsvFields fields) returns false
// with the first problem in *error; *table then holds the records before it. Throws only
// std::bad_alloc.
bool readCsv(std::string_view text, CsvTable* table, CsvError* error, char separator = 0);

// A CSV text saved as UTF-16, told by its byte-order mark or, when `byLetters` (a file
// without one), by the NUL bytes between its first ASCII letters: the error to report, at
// line 1. False for other text. readCsv refuses a byte-order mark itself; the NUL bytes of a
// field only a file's first bytes can tell, as a questions file's first bytes do.
bool findUtf16(std::string_view text, bool byLetters, CsvError* error);

// One record as a CSV line ending in CR LF, read back by readCsv as the same fields. A
// field is quoted when it holds ',', ';' or a tab (any separator, so that the header row
// always tells which one the file uses), a quote, a line break, or blanks at either end; a
// record of empty fields has its first one quoted, so that it is not taken for a blank line.
std::string csvRecord(const std::vector<std::string>& fields, char separator);

// A text as a cell that a spreadsheet shows as text: one that begins with '=', '+', '-', '@',
// a tab or a CR would be run as a formula when the file is opened, so it gets a leading
// apostrophe, which a spreadsheet shows the text behind (and leaves out when it saves the
// file again). So does a text of apostrophes before such a character, so that
// textOfSpreadsheetCell gives every text back exactly.
std::string spreadsheetCell(const std::string& text);

// The text of a cell written by spreadsheetCell: its leading apostrophe taken off where
// spreadsheetCell put one; any other cell as it is.
std::string textOfSpreadsheetCell(const std::string& cell);
