// Questions from a spreadsheet: the CSV reader, a description that takes its questions from
// a CSV file (the same checks as [[question]] tables, problems located in the CSV file), and
// extract --csv, whose folder builds the same quiz again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "content/package.h"
#include "resources/resource.h"
#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/builder.h"
#include "quizpack/description/csv_reader.h"
#include "quizpack/description/description.h"
#include "quizpack/description/question_table.h"
#include "quizpack/executable/extractor.h"
#include "quizpack/common/file_io.h"
#include "quizpack/executable/packing.h"
#include "quizpack/executable/pe_resources.h"

namespace {

using namespace authoring_test;
using namespace test_support;
using Records = std::vector<std::vector<std::string>>;

Records fieldsOf(const CsvTable& table) {
    Records records;
    for (const CsvRecord& r : table.records) {
        records.emplace_back();
        for (const CsvField& f : r.fields)
            records.back().push_back(f.text);
    }
    return records;
}

TEST(CsvReader, ReadsWhatSpreadsheetsWrite) {
    struct Row {
        const char* name;
        std::string text;
        char separator;
        Records records;
    };
    // clang-format off
    const Row rows[] = {
        {"commas, CR LF", "answer,text\r\nParis,Capitale\r\n", ',', {{"answer", "text"}, {"Paris", "Capitale"}}},
        {"semicolons after a byte-order mark", "\xEF\xBB\xBF" "answer;text\nParis;\"a;b, c\"\n", ';',
         {{"answer", "text"}, {"Paris", "a;b, c"}}},
        {"the header row after a blank line", "\r\nanswer;text\r\nx;y\r\n", ';', {{"answer", "text"}, {"x", "y"}}},
        {"a quoted comma does not make the header comma-separated", "a;\"b,c\";d\n", ';', {{"a", "b,c", "d"}}},
        {"doubled quotes", "a\n\"say \"\"hi\"\"\"\n", ',', {{"a"}, {"say \"hi\""}}},
        {"line breaks in quotes", "a;b\n\"x\r\ny\";z\n", ';', {{"a", "b"}, {"x\r\ny", "z"}}},
        {"blank lines and rows of separators are left out", "a;b\n\n;\r\n\"\";\nc;d\n;;\n", ';',
         {{"a", "b"}, {"", ""}, {"c", "d"}}},
        {"lone CR line ends", "a\rb\r", ',', {{"a"}, {"b"}}},
        {"no final line end, an empty last field", "a,b\nc,", ',', {{"a", "b"}, {"c", ""}}},
        {"a quote inside an unquoted field is kept", "a\n5\" pouces\n", ',', {{"a"}, {"5\" pouces"}}},
        {"blanks are kept", " a , b \n", ',', {{" a ", " b "}}},
        {"tabs, as a spreadsheet's tab-separated text", "answer\ttext\r\nParis\tOui, non ; peut-\xC3\xAAtre\r\n", '\t',
         {{"answer", "text"}, {"Paris", "Oui, non ; peut-\xC3\xAAtre"}}},
    };
    // clang-format on
    for (const Row& row : rows) {
        CsvTable table;
        CsvError error;
        ASSERT_TRUE(readCsv(row.text, &table, &error)) << row.name << ": " << error.message;
        EXPECT_EQ(table.separator, row.separator) << row.name;
        EXPECT_EQ(fieldsOf(table), row.records) << row.name;
        // Written back, the fields read the same.
        std::string again = "\xEF\xBB\xBF";
        for (const std::vector<std::string>& r : row.records)
            again += csvRecord(r, table.separator);
        CsvTable reread;
        ASSERT_TRUE(readCsv(again, &reread, &error)) << row.name << ": " << error.message;
        EXPECT_EQ(fieldsOf(reread), row.records) << row.name << "\n" << again;
    }
}

TEST(CsvReader, PlacesFieldsAndProblemsByLineAndCharacter) {
    CsvTable table;
    CsvError error;
    ASSERT_TRUE(readCsv("a;b\n\"x\ny\";\xC3\xA9t\xC3\xA9;z\n", &table, &error));
    ASSERT_EQ(table.records.size(), 2u);
    const CsvRecord& second = table.records[1];
    EXPECT_EQ(second.line, 2);
    EXPECT_EQ(second.fields[1].line, 3); // after the quoted line break
    EXPECT_EQ(second.fields[1].column, 4);
    EXPECT_EQ(second.fields[2].column, 8); // é counts one character
    struct Row {
        const char* name;
        std::string text;
        int line, column;
        const char* messagePart;
    };
    // clang-format off
    const Row rows[] = {
        {"a quote never closed", "a;b\nx;\"never\nends\n", 2, 3, "never closed"},
        {"text after the closing quote", "a\n\"x\"y\n", 2, 4, "after the closing quote"},
        {"Windows-1252 bytes", "a\nb\xE9t\xE9\n", 2, 2, "not UTF-8"},
        {"a cut UTF-8 sequence", "a\n\xC3", 2, 1, "not UTF-8"},
        {"an overlong encoding", "\xC0\xAF", 1, 1, "not UTF-8"},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_FALSE(readCsv(row.text, &table, &error)) << row.name;
        EXPECT_EQ(error.line, row.line) << row.name;
        EXPECT_EQ(error.column, row.column) << row.name;
        EXPECT_NE(error.message.find(row.messagePart), std::string::npos) << error.message;
        EXPECT_FALSE(error.hint.empty()) << row.name;
    }
}

// ---- descriptions with a CSV file of questions ------------------------------------------

CheckResult checkWithCsv(const TempFolder& dir, const std::string& toml, const std::string& csv) {
    if (!csv.empty())
        writeFile(dir / "questions.csv", csv);
    writeFile(dir / "quiz.toml", toml);
    return checkDescriptionFile(dir / "quiz.toml");
}

TEST(QuestionsFromCsv, EachProblemNamesTheFileLineAndColumn) {
    struct Row {
        const char* name;
        std::string toml;
        std::string csv;
        const char* file;
        int line, column;
        std::string key;
        const char* messagePart;
    };
    const std::string text = "kind = \"text\"\nquestions = \"questions.csv\"\n";
    const std::string two =
        "kind = \"text\"\nanswers_per_question = 2\nquestions = \"questions.csv\"\n";
    std::string rows91 = "answer\n";
    for (int i = 0; i < 91; ++i)
        rows91 += "a\n";
    // clang-format off
    const Row rows[] = {
        {"tables and a file both", text + "[[question]]\nanswers = [\"a\"]\n", "answer\na\n",
         "quiz.toml", 2, 0, "questions", "both"},
        {"no such file", text, "", "quiz.toml", 2, 0, "questions", "no such file"},
        {"not a path", "kind = \"text\"\nquestions = 5\n", "", "quiz.toml", 2, 0, "questions", "an integer"},
        {"an empty file", text, "\n", "questions.csv", 1, 0, "", "no header row"},
        {"no answer column", text, "text\nx\n", "questions.csv", 1, 0, "", "no 'answer' column"},
        {"a column named twice", text, "answer;Answer\na;b\n", "questions.csv", 1, 8, "answer", "twice"},
        {"a malformed field", text, "answer\n\"a\"b\n", "questions.csv", 2, 4, "", "closing quote"},
        {"a field past the header's columns", text, "answer;text\nParis;x;y\n", "questions.csv", 2, 9, "", "more fields"},
        {"a second answer with one answer per question", text, "answer;answer2\nParis;France\n",
         "questions.csv", 2, 7, "question[1].answer2", "answers_per_question = 1"},
        {"two answers per question and no answer2 column", two, "answer\nParis\n",
         "questions.csv", 1, 0, "", "no 'answer2' column"},
        {"'|' in a cell", text, "answer,text\nParis,\"a | b\"\n", "questions.csv", 2, 7, "question[1].text", "'|'"},
        {"a character outside Windows-1252", text, "answer\n\xC5\x81\xC3\xB3\x64\xC5\xBA\n",
         "questions.csv", 2, 1, "question[1].answer", "U+0141"},
        {"more than 90 rows", text, rows91, "questions.csv", 92, 0, "question[91]", "at most 90"},
        {"a missing picture", "kind = \"picture\"\nquestions = \"questions.csv\"\n",
         "answer;picture\nParis;media/none.jpg\n", "questions.csv", 2, 7, "question[1].picture", "no such file"},
        {"an audio question without a clip", "kind = \"audio\"\nquestions = \"questions.csv\"\n",
         "answer;clip\nParis;\n", "questions.csv", 2, 0, "question[1].clip", "no clip"},
        {"a file over 4 MB", text, std::string((4u << 20) + 1, 'a'), "quiz.toml", 2, 0, "questions", "at most 4.0 MB"},
        {"a Windows-1252 file", text, "answer\nb\xE9t\xE9\n", "questions.csv", 2, 2, "", "not UTF-8"},
        {"a UTF-16 file", text, "\xFF\xFE" "a\0n\0s\0", "questions.csv", 1, 1, "", "saved as UTF-16"},
        {"a header of endless separators", text, "answer" + std::string(300, ';') + "\r\nParis\r\n",
         "questions.csv", 1, 263, "", "more than 256 fields"},
    };
    // clang-format on
    for (const Row& row : rows) {
        TempFolder dir("csvcheck");
        CheckResult result = checkWithCsv(dir, row.toml, row.csv);
        bool found = false;
        for (const Diagnostic& d : result.diagnostics) {
            found |= d.severity == Severity::Error && d.file == (dir / row.file).u8string() &&
                     d.line == row.line && d.column == row.column && d.key == row.key &&
                     d.message.find(row.messagePart) != std::string::npos && !d.hint.empty();
        }
        EXPECT_TRUE(found) << row.name << ": expected " << row.file << ":" << row.line << ":"
                           << row.column << " '" << row.key << "' with '" << row.messagePart
                           << "'; got:\n"
                           << describe(result.diagnostics);
    }
}

TEST(QuestionsFromCsv, UnknownColumnsAreIgnoredWithASuggestion) {
    TempFolder dir("csvcolumns");
    CheckResult result = checkWithCsv(dir, "kind = \"text\"\nquestions = \"questions.csv\"\n",
                                      "answer;txt;;points\r\nParis;Capitale ?;stray;3\r\n");
    EXPECT_TRUE(result.ok()) << describe(result.diagnostics);
    std::vector<std::string> said;
    std::vector<std::string> hints;
    for (const Diagnostic& d : result.diagnostics) {
        if (d.file == (dir / "questions.csv").u8string())
            said.push_back(std::to_string(d.line) + ":" + std::to_string(d.column) + " " + d.key);
        if (d.key == "txt" || d.key == "points")
            hints.push_back(d.hint);
    }
    EXPECT_EQ(said, (std::vector<std::string>{"1:8 txt", "1:13 points", "2:18 "}))
        << describe(result.diagnostics);
    EXPECT_EQ(hints, (std::vector<std::string>{
                         "rename it to 'text'",
                         "the columns are: answer, answer2, text, reveal_text, picture, "
                         "reveal_picture, clip"}))
        << describe(result.diagnostics);
}

TEST(QuestionsFromCsv, ColumnsHaveTheirFrenchNamesToo) {
    struct Row {
        const char* header; // UTF-8
        std::vector<int> columns;
    };
    // clang-format off
    const Row rows[] = {
        {"R\xC3\xA9ponse;Question;Image;Image r\xC3\xA9v\xC3\xA9l\xC3\xA9" "e;Texte r\xC3\xA9v\xC3\xA9l\xC3\xA9;clip",
         {kAnswerColumn, kTextColumn, kPictureColumn, kRevealPictureColumn, kRevealTextColumn, kClipColumn}},
        {"REPONSE 1;reponse_2;IMAGE REVELEE;texte revele", {kAnswerColumn, kAnswer2Column, kRevealPictureColumn, kRevealTextColumn}},
        {"Answer;Reveal Text", {kAnswerColumn, kRevealTextColumn}},
    };
    // clang-format on
    for (const Row& r : rows) {
        QuestionTable table;
        std::vector<Diagnostic> diagnostics;
        ASSERT_TRUE(
            readQuestionTable(std::string(r.header) + "\r\n", "q.csv", &table, &diagnostics))
            << r.header << "\n"
            << describe(diagnostics);
        std::vector<int> found;
        for (int c = 0; c < kQuestionColumnCount; ++c) {
            if (table.hasColumn[c])
                found.push_back(c);
        }
        std::vector<int> expected = r.columns;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected) << r.header;
        EXPECT_TRUE(diagnostics.empty()) << r.header << "\n" << describe(diagnostics);
    }
}

// The same quiz as [[question]] tables and as a CSV file gives the same package and media.
TEST(QuestionsFromCsv, MakeTheSameQuizAsQuestionTables) {
    TempFolder dir("csvsame");
    writeBytes(dir / "media/q01.jpg", jpegPicture(30, 20));
    writeBytes(dir / "media/r02.png", pngPicture(30, 20));
    const std::string head = "title = \"T\"\nkind = \"picture\"\nanswers_per_question = 2\n"
                             "reveal = \"text+picture\"\ncodes = [\"c1\", \"c2\"]\n";
    writeFile(dir / "tables.toml",
              head +
                  "[[question]]\nanswers = [\"Paris\", \"\\\"France\\\"; l\xC3\xA0\"]\n"
                  "reveal_text = \"deux\\nlignes\"\npicture = \"media/q01.jpg\"\n"
                  "[[question]]\nanswers = [\"Rome\", \"\"]\nreveal_picture = \"media/r02.png\"\n");
    writeFile(dir / "csv.toml", head + "questions = \"sub/../questions.csv\"\n");
    fs::create_directories(dir / "sub");
    writeFile(dir / "questions.csv",
              "\xEF\xBB\xBFReveal_Text;answer;answer2;picture;reveal_picture\r\n"
              "\"deux\nlignes\";Paris;\"\"\"France\"\"; l\xC3\xA0\";media/q01.jpg;\r\n"
              ";Rome;;;media/r02.png\r\n");
    CheckResult tables = checkDescriptionFile(dir / "tables.toml");
    CheckResult csv = checkDescriptionFile(dir / "csv.toml");
    ASSERT_TRUE(tables.ok()) << describe(tables.diagnostics);
    ASSERT_TRUE(csv.ok()) << describe(csv.diagnostics);
    EXPECT_EQ(layOutPackage(*makeQuiz(csv.description)),
              layOutPackage(*makeQuiz(tables.description)));
    ASSERT_EQ(csv.description.media.size(), tables.description.media.size());
    for (size_t i = 0; i < csv.description.media.size(); ++i) {
        EXPECT_EQ(csv.description.media[i].resourceId, tables.description.media[i].resourceId);
        EXPECT_EQ(fs::canonical(csv.description.media[i].path),
                  fs::canonical(tables.description.media[i].path));
    }
    // The same warnings (the empty second answer), only placed in the CSV file.
    EXPECT_EQ(countSeverity(csv.diagnostics, Severity::Warning),
              countSeverity(tables.diagnostics, Severity::Warning))
        << describe(csv.diagnostics) << describe(tables.diagnostics);
}

// ---- extract --csv ------------------------------------------------------------------------

// The executable built, or nothing (and a failure) when the build fails.
Bytes builtBytes(const fs::path& description, const fs::path& output, const fs::path& player) {
    BuildReport report = buildInto(description, output, player);
    EXPECT_TRUE(report.built) << describe(report.diagnostics);
    return report.built ? readBytes(output) : Bytes{};
}

void expectCsvRoundTrip(const fs::path& description, const TempFolder& dir,
                        const std::string& name) {
    SCOPED_TRACE(name);
    const fs::path player = dir / "template.exe";
    Bytes first = builtBytes(description, dir / (name + ".exe"), player);
    ASSERT_FALSE(first.empty());
    extractQuiz(readQuizExecutable(first, name + ".exe"), dir / (name + "-csv"), Overwrite::Refuse,
                QuestionFormat::Csv);
    const fs::path folder = dir / (name + "-csv");
    const std::string toml = readFile(folder / "quiz.toml");
    EXPECT_NE(toml.find("questions = \"questions.csv\""), std::string::npos) << toml;
    EXPECT_EQ(toml.find("[[question]]"), std::string::npos) << toml;
    Bytes again = builtBytes(folder / "quiz.toml", dir / (name + "-again.exe"), player);
    std::vector<Resource> a = readResources(first), b = readResources(again);
    EXPECT_EQ(resourceData(b, "PATCH", IDR_QUIZ_PACKAGE),
              resourceData(a, "PATCH", IDR_QUIZ_PACKAGE));
    EXPECT_EQ(resourceData(b, "PATCH", IDR_CODE_TABLE), resourceData(a, "PATCH", IDR_CODE_TABLE));
    for (uint32_t q = 1; q <= 90; ++q) {
        EXPECT_EQ(resourceData(b, "IMG", kQuestionMediaBase + q),
                  resourceData(a, "IMG", kQuestionMediaBase + q));
        EXPECT_EQ(resourceData(b, "IMG", kRevealPictureBase + q),
                  resourceData(a, "IMG", kRevealPictureBase + q));
    }
}

TEST(ExtractCsv, BuildsTheSameQuizAgain) {
    TempFolder dir("extractcsv");
    writeBytes(dir / "template.exe", minimalExecutable());
    // Texts a CSV file must quote: separators, quotes, line breaks, blanks at the ends, and
    // a question whose every cell is empty.
    writeBytes(dir / "tricky/a.jpg", jpegPicture(40, 30));
    writeFile(dir / "tricky/quiz.toml",
              "title = \"T\"\nkind = \"picture\"\nanswers_per_question = 2\nreveal = \"text\"\n"
              "codes = [\"x;y\"]\n"
              "[[question]]\nanswers = [\" a;b \", \"c,\\\"d\\\"\"]\n"
              "reveal_text = \"one\\r\\ntwo\"\npicture = \"a.jpg\"\n"
              "[[question]]\nanswers = [\"\", \"\"]\n"
              "[[question]]\nanswers = [\"=SOMME(A1)\", \"'-5\"]\n");
    expectCsvRoundTrip(dir / "tricky/quiz.toml", dir, "tricky");
    // What a spreadsheet would run as a formula is written for it to show as text.
    EXPECT_NE(readFile(dir / "tricky-csv/questions.csv").find("\r\n'=SOMME(A1);''-5;"),
              std::string::npos)
        << readFile(dir / "tricky-csv/questions.csv");
    for (const char* sample : {"text", "text-duo", "picture", "audio", "video"}) {
        fs::path description = fs::path(QUIZZ_SOURCE_DIR) / "samples" / sample / "quiz.toml";
        if (fs::exists(description))
            expectCsvRoundTrip(description, dir, sample);
    }
}

} // namespace
