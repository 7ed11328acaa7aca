// Reading CSV text as spreadsheets write it: UTF-8 with or without a byte-order mark, ','
// or ';' between fields (whichever the header row uses: French spreadsheets write ';'),
// fields in double quotes holding separators, doubled quotes ("") and line breaks, lines
// ending in CR LF, LF or CR.
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
// not UTF-8) returns false with the first problem in *error; *table then holds the records
// before it. Throws only std::bad_alloc.
bool readCsv(std::string_view text, CsvTable* table, CsvError* error, char separator = 0);

// One record as a CSV line ending in CR LF, read back by readCsv as the same fields. A
// field is quoted when it holds ',' or ';' (either separator, so that the header row always
// tells which one the file uses), a quote, a line break, or blanks at either end; a record
// of empty fields has its first one quoted, so that it is not taken for a blank line.
std::string csvRecord(const std::vector<std::string>& fields, char separator);
