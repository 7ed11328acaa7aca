// readCsv and readQuestionTable on arbitrary bytes: nothing read outside the input, fields
// placed in order, whatever reads as a table is written back by csvRecord and read with the
// same separator as the same fields again, and every field written as a spreadsheet cell
// reads back as itself.
#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/description/csv_reader.h"
#include "quizpack/description/question_table.h"

namespace {

std::vector<std::vector<std::string>> fieldsOf(const CsvTable& table) {
    std::vector<std::vector<std::string>> records;
    for (const CsvRecord& r : table.records) {
        records.emplace_back();
        for (const CsvField& f : r.fields)
            records.back().push_back(f.text);
    }
    return records;
}

void checkPlaces(const CsvTable& table) {
    int line = 0;
    for (const CsvRecord& r : table.records) {
        if (r.line <= line || r.fields.empty())
            __builtin_trap();
        line = r.line;
        for (const CsvField& f : r.fields) {
            if (f.line < r.line || f.column < 1)
                __builtin_trap();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 100000) {
        return 0;
    }
    // A copy of exactly the input's length, so a read past it is caught.
    std::string text(reinterpret_cast<const char*>(data), size);
    CsvTable table;
    CsvError error;
    if (!readCsv(text, &table, &error)) {
        if (error.line < 1 || error.column < 1 || error.message.empty())
            __builtin_trap();
        return 0;
    }
    checkPlaces(table);
    for (const std::vector<std::string>& r : fieldsOf(table)) {
        for (const std::string& f : r) {
            if (textOfSpreadsheetCell(spreadsheetCell(f)) != f)
                __builtin_trap();
        }
    }
    std::string again = "\xEF\xBB\xBF";
    for (const std::vector<std::string>& r : fieldsOf(table))
        again += csvRecord(r, table.separator);
    CsvTable reread;
    if (!readCsv(again, &reread, &error, table.separator) || fieldsOf(reread) != fieldsOf(table))
        __builtin_trap();

    QuestionTable questions;
    std::vector<Diagnostic> diagnostics;
    readQuestionTable(text, "questions.csv", &questions, &diagnostics);
    for (const QuestionRow& row : questions.rows) {
        for (const auto& cell : row.cells) {
            if (cell && cell->line < row.line)
                __builtin_trap();
        }
    }
    return 0;
}
