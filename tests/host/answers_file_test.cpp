// The answers file's name rule, its lines, and reading them back, on the bytes themselves.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "progress/answers_file.h"

namespace {

// A file holding `bytes`, read back as the player reads it; closed on destruction.
struct FileOfBytes {
    FILE* file;
    explicit FileOfBytes(const std::string& bytes) : file(tmpfile()) {
        if (file != nullptr) {
            fwrite(bytes.data(), 1, bytes.size(), file);
            rewind(file);
        }
    }
    ~FileOfBytes() {
        if (file != nullptr) {
            fclose(file);
        }
    }
};

// Every line readAnswerLine gives, until it says no line is left (at most `limit`).
std::vector<std::string> readAllLines(const std::string& bytes, size_t limit = 50) {
    FileOfBytes f(bytes);
    std::vector<std::string> lines;
    char text[kAnswerTextCapacity];
    while (f.file != nullptr && lines.size() < limit && readAnswerLine(f.file, text)) {
        lines.push_back(text);
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) {
        all += "[" + line + "]";
    }
    return all;
}

const std::string k259(259, 'a');
const std::string k258(258, 'b');

TEST(AnswersFileName, FromProgramName) {
    struct Case {
        const char* program;
        const char* expected; // null: no answers file
    };
    const Case cases[] = {
        {"quiz.exe", "quiz.txt"},
        {"other.exe", "other.txt"}, // a renamed program looks for its own file
        {"QUIZ.EXE", "QUIZ.txt"},
        {"Quiz de No\xEBl.exe", "Quiz de No\xEBl.txt"},
        {"quiz.v2.exe", "quiz.v2.txt"},
        {"quiz", "qtxt"}, // no extension: the last three characters go
        {"abc", "txt"},
        {"ab", nullptr}, // nothing to overwrite
        {"", nullptr},
    };
    for (const Case& c : cases) {
        char name[260] = "untouched";
        bool made = answersFileName(c.program, name, sizeof name);
        EXPECT_EQ(made, c.expected != nullptr) << c.program;
        EXPECT_STREQ(name, c.expected != nullptr ? c.expected : "") << c.program;
    }
}

TEST(AnswersFileName, RefusesWhatDoesNotFit) {
    char name[8] = "xxxxxxx";
    EXPECT_TRUE(answersFileName("abc.exe", name, 8)); // 7 characters and the terminator
    EXPECT_STREQ(name, "abc.txt");
    EXPECT_FALSE(answersFileName("abcd.exe", name, 8));
    EXPECT_STREQ(name, "");
}

TEST(AnswersFileName, BaseNameOfModulePath) {
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Jeux\\Quiz\\quiz.exe", "quiz.exe"},
        {"Z:\\work\\other.exe", "other.exe"},
        {"\\\\serveur\\partage\\q.exe", "q.exe"},
        {"quiz.exe", "quiz.exe"},
        {"C:\\dossier\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        char path[260];
        snprintf(path, sizeof path, "%s", c.path);
        keepBaseName(path);
        EXPECT_STREQ(path, c.expected) << c.path;
    }
}

TEST(AnswersFileLines, FieldCount) {
    struct Case {
        int answersPerQuestion, questionCount, expected;
    };
    const Case cases[] = {
        {1, 3, 3}, {2, 2, 4},  {1, 90, 90}, {2, 90, 180},     {1, 0, 0},
        {0, 5, 0}, {-1, 5, 0}, {2, -3, 0},  {2, 100000, 180},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(answerFieldCount(c.answersPerQuestion, c.questionCount), c.expected)
            << c.answersPerQuestion << " x " << c.questionCount;
    }
}

TEST(AnswersFileLines, FormattedLine) {
    struct Case {
        std::string field;
        std::string expected;
    };
    const Case cases[] = {
        {"Paris", "Paris\r\n"},
        {"", "*\r\n"},  // an empty field is never an empty line
        {"*", "*\r\n"}, // and "*" is saved as it is
        {"  Paris ", "  Paris \r\n"},
        {"\xC9t\xE9 indien", "\xC9t\xE9 indien\r\n"},
        {k259, k259 + "\r\n"},
        {k259 + "zzz", k259 + "\r\n"}, // longer: the first 259 characters
    };
    for (const Case& c : cases) {
        char line[kAnswerLineCapacity];
        int length = formatAnswerLine(c.field.c_str(), line);
        EXPECT_EQ(std::string(line, length), c.expected) << "field \"" << c.field << "\"";
        EXPECT_EQ(line[length], '\0') << "field \"" << c.field << "\"";
    }
}

TEST(AnswersFileLines, ReadLines) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"three answers", "Paris\r\n*\r\nLyon\r\n", {"Paris", "", "Lyon"}},
        {"last line without line end", "Paris\r\nLyon", {"Paris", "Lyon"}},
        {"lines ended by LF alone", "Paris\nLyon\n", {"Paris", "Lyon"}},
        {"empty lines are empty fields", "\r\n\r\nNice", {"", "", "Nice"}},
        {"only exactly * is empty", "**\r\n * \r\n*x\r\n", {"**", " * ", "*x"}},
        {"spaces kept", "  Paris \r\n", {"  Paris "}},
        {"259 characters", k259 + "\r\nLyon\r\n", {k259, "Lyon"}},
        {"258 characters", k258 + "\r\nLyon\r\n", {k258, "Lyon"}},
        {"260 characters: the last one dropped", k259 + "c\r\nLyon\r\n", {k259, "Lyon"}},
        {"a long line keeps the next one",
         k259 + std::string(2000, 'd') + "\nLyon\nNice",
         {k259, "Lyon", "Nice"}},
        {"long last line without line end", std::string(300, 'a'), {k259}},
        {"a zero byte does not merge lines",
         std::string("Pa\0ris\r\nLyon\r\n", 13),
         {"Pa", "Lyon"}},
        {"empty file", "", {}},
        {"Windows-1252 letters", "No\xEBl\r\n\xC9t\xE9\r\n", {"No\xEBl", "\xC9t\xE9"}},
        {"a byte 0x1A is a character like any other",
         "Pa\x1Aris\r\n\x1A\r\nLyon\r\n",
         {"Pa\x1Aris", "\x1A", "Lyon"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(joined(readAllLines(c.bytes)), joined(c.expected)) << c.what;
    }
}

TEST(AnswersFileLines, ExhaustedFileGivesEmptyTexts) {
    FileOfBytes f("Paris\r\n");
    ASSERT_NE(f.file, nullptr);
    char text[kAnswerTextCapacity];
    EXPECT_TRUE(readAnswerLine(f.file, text));
    EXPECT_STREQ(text, "Paris");
    for (int extra = 0; extra < 3; ++extra) {
        snprintf(text, sizeof text, "stale");
        EXPECT_FALSE(readAnswerLine(f.file, text)) << "read past the end, call " << extra;
        EXPECT_STREQ(text, "") << "read past the end, call " << extra;
    }
}

// What the fields show, written and read back: one line each, in order, whatever they hold.
TEST(AnswersFileLines, RoundTrip) {
    struct Case {
        const char* what;
        std::vector<std::string> fields;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"three one-answer questions", {"Paris", "", "Lyon"}, {"Paris", "", "Lyon"}},
        {"a field holding * comes back empty", {"*", "Nice"}, {"", "Nice"}},
        {"a too long field keeps the next fields in place",
         {std::string(300, 'x'), "Lyon", ""},
         {std::string(259, 'x'), "Lyon", ""}},
        {"two answers of two questions in field order",
         {"Victor", "Hugo", "Jules", "Verne"},
         {"Victor", "Hugo", "Jules", "Verne"}},
        {"every field empty", {"", "", ""}, {"", "", ""}},
    };
    for (const Case& c : cases) {
        std::string bytes;
        for (const std::string& field : c.fields) {
            char line[kAnswerLineCapacity];
            bytes.append(line, formatAnswerLine(field.c_str(), line));
        }
        EXPECT_EQ(joined(readAllLines(bytes)), joined(c.expected)) << c.what;
    }
}

} // namespace
