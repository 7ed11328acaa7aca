// The quiz package and code table: their byte layouts, the hand-laid fixture, round trips
// and every kind of malformed content.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/grading_extras.h"
#include "content/package.h"
#include "content/quiz.h"
#include "tests/support/files.h"
#include "tests/support/quiz_factory.h"

namespace {

using test_support::ExactBytes;
using test_support::OwnedQuiz;
using test_support::readBytes;

// Lays out package bytes piece by piece.
struct Layout {
    std::vector<uint8_t> b;
    Layout& bytes(std::initializer_list<int> values) {
        for (int v : values) {
            b.push_back(static_cast<uint8_t>(v));
        }
        return *this;
    }
    Layout& fields(std::initializer_list<std::string> texts) {
        for (const std::string& t : texts) {
            b.insert(b.end(), t.begin(), t.end());
            b.push_back('|');
        }
        return *this;
    }
    Layout& raw(const std::string& text) {
        b.insert(b.end(), text.begin(), text.end());
        return *this;
    }
};

// Byte 0, the three header bytes and the five header texts.
Layout header(int typeByte, int count, int answers) {
    return Layout().bytes({0, typeByte, count, answers}).fields({"T", "C", "E", "L1", "L2"});
}

struct Question {
    std::string answer1;
    std::string answer2;
    std::string questionText;
    std::string revealText;
};

struct Expected {
    int32_t quizType;
    int32_t answersPerQuestion;
    int32_t revealMode;
    uint32_t colour;
    std::vector<Question> questions;
    uint32_t problems;
};

const std::string kDataDir = std::string(QUIZZ_SOURCE_DIR) + "/tests/data/";

// Every invariant the rest of the player relies on, whatever the bytes were.
void expectConsistent(const Quiz* quiz, const std::string& context) {
    EXPECT_GE(quiz->quizType, QUIZ_TEXT) << context;
    EXPECT_LE(quiz->quizType, QUIZ_VIDEO) << context;
    EXPECT_TRUE(quiz->answersPerQuestion == 1 || quiz->answersPerQuestion == 2) << context;
    EXPECT_GE(quiz->questionCount, 0) << context;
    EXPECT_LE(quiz->questionCount, kMaxQuestions) << context;
    EXPECT_EQ(quiz->questionCount, test_support::countQuestions(quiz)) << context;
}

void expectQuiz(const Quiz* quiz, const Expected& want, uint32_t problems,
                const std::string& context) {
    EXPECT_EQ(problems, want.problems) << context;
    EXPECT_EQ(quiz->quizType, want.quizType) << context;
    EXPECT_EQ(quiz->answersPerQuestion, want.answersPerQuestion) << context;
    EXPECT_EQ(quiz->revealMode, want.revealMode) << context;
    EXPECT_EQ(quiz->backgroundColour, want.colour) << context;
    EXPECT_EQ(quiz->backgroundBrush, nullptr) << context;
    ASSERT_EQ(quiz->questionCount, static_cast<int32_t>(want.questions.size())) << context;
    expectConsistent(quiz, context);
    const QuestionNode* node = quiz->head;
    for (size_t q = 0; q < want.questions.size(); ++q, node = node->next) {
        std::string where = context + ", question " + std::to_string(q + 1);
        EXPECT_EQ(node->answer1, want.questions[q].answer1) << where;
        EXPECT_EQ(node->answer2, want.questions[q].answer2) << where;
        EXPECT_EQ(node->questionText, want.questions[q].questionText) << where;
        EXPECT_EQ(node->revealText, want.questions[q].revealText) << where;
    }
}

struct PackageRow {
    const char* name;
    std::vector<uint8_t> bytes;
    Expected want;
};

void checkPackageRows(const std::vector<PackageRow>& rows) {
    for (const PackageRow& row : rows) {
        OwnedQuiz fresh;
        ExactBytes bytes(row.bytes);
        uint32_t problems = readPackage(bytes.data.get(), bytes.length, fresh.quiz);
        expectQuiz(fresh.quiz, row.want, problems, row.name);
        if (row.want.problems == CONTENT_OK) {
            EXPECT_STREQ(fresh.quiz->title, "T") << row.name;
            EXPECT_STREQ(fresh.quiz->answerLabel2, "L2") << row.name;
        }
    }
}

const std::string k259(259, 'x');
const std::string k300(300, 'y');

TEST(PackageLayout, WellFormedPackages) {
    std::vector<PackageRow> rows = {
        {"no questions: texts, then the mode byte, then the colour",
         header(1, 0, 1).bytes({2, 10, 20, 30}).b,
         {QUIZ_TEXT, 1, 2, 0x1E140A, {}, CONTENT_OK}},
        {"one answer per question: answer, question text",
         header(2, 2, 1).fields({"a1", "q1", "a2", "q2"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_PICTURE, 1, 0, 0x030201, {{"a1", "", "q1", ""}, {"a2", "", "q2", ""}}, CONTENT_OK}},
        {"two answers per question: first, second, question text",
         header(3, 2, 2).fields({"a1", "b1", "q1", "a2", "b2", "q2"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_AUDIO,
          2,
          0,
          0x030201,
          {{"a1", "b1", "q1", ""}, {"a2", "b2", "q2", ""}},
          CONTENT_OK}},
        {"reveal mode 0: colour right after the mode byte",
         header(4, 1, 1).fields({"a", "q"}).bytes({0, 7, 8, 9}).b,
         {QUIZ_VIDEO, 1, 0, 0x090807, {{"a", "", "q", ""}}, CONTENT_OK}},
        {"reveal mode 1: no reveal fields either",
         header(2, 1, 1).fields({"a", "q"}).bytes({1, 7, 8, 9}).b,
         {QUIZ_PICTURE, 1, 1, 0x090807, {{"a", "", "q", ""}}, CONTENT_OK}},
        {"reveal mode 2: one field per question",
         header(1, 2, 1)
             .fields({"a1", "q1", "a2", "q2"})
             .bytes({2})
             .fields({"r1", "r2"})
             .bytes({7, 8, 9})
             .b,
         {QUIZ_TEXT, 1, 2, 0x090807, {{"a1", "", "q1", "r1"}, {"a2", "", "q2", "r2"}}, CONTENT_OK}},
        {"reveal mode 3: two fields per question, the first kept",
         header(2, 2, 1)
             .fields({"a1", "q1", "a2", "q2"})
             .bytes({3})
             .fields({"r1", "drop1", "r2", "drop2"})
             .bytes({7, 8, 9})
             .b,
         {QUIZ_PICTURE,
          1,
          3,
          0x090807,
          {{"a1", "", "q1", "r1"}, {"a2", "", "q2", "r2"}},
          CONTENT_OK}},
        {"reveal mode 4: one field per question",
         header(1, 2, 2)
             .fields({"a1", "b1", "q1", "a2", "b2", "q2"})
             .bytes({4})
             .fields({"r1", "r2"})
             .bytes({7, 8, 9})
             .b,
         {QUIZ_TEXT,
          2,
          4,
          0x090807,
          {{"a1", "b1", "q1", "r1"}, {"a2", "b2", "q2", "r2"}},
          CONTENT_OK}},
        {"reveal mode 5: no reveal fields",
         header(1, 1, 1).fields({"a", "q"}).bytes({5, 7, 8, 9}).b,
         {QUIZ_TEXT, 1, 5, 0x090807, {{"a", "", "q", ""}}, CONTENT_OK}},
        {"colour FF 00 00 is pure red",
         header(1, 0, 1).bytes({0, 0xFF, 0x00, 0x00}).b,
         {QUIZ_TEXT, 1, 0, 0x0000FF, {}, CONTENT_OK}},
        {"colour 00 00 FF is pure blue",
         header(1, 0, 1).bytes({0, 0x00, 0x00, 0xFF}).b,
         {QUIZ_TEXT, 1, 0, 0xFF0000, {}, CONTENT_OK}},
        {"a field of exactly 259 bytes is stored whole",
         header(1, 1, 2).fields({k259, k259, k259}).bytes({2}).fields({k259}).bytes({1, 2, 3}).b,
         {QUIZ_TEXT, 2, 2, 0x030201, {{k259, k259, k259, k259}}, CONTENT_OK}},
        {"byte 0 is ignored and bytes after the colour too",
         Layout()
             .bytes({0xAB, 1, 1, 1})
             .fields({"T", "C", "E", "L1", "L2", "a", "q"})
             .bytes({0, 1, 2, 3, '|', 0xFF})
             .b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"a", "", "q", ""}}, CONTENT_OK}},
        {"a zero byte in a field adds nothing",
         header(1, 1, 1).raw(std::string("ab\0cd|\0|", 8)).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"abcd", "", "", ""}}, CONTENT_OK}},
        {"Windows-1252 bytes pass through",
         header(1, 1, 1)
             .fields({"\xE9t\xE9", "o\xF9 ?"})
             .bytes({2})
             .fields({"\xC7t\xE9"})
             .bytes({1, 2, 3})
             .b,
         {QUIZ_TEXT, 1, 2, 0x030201, {{"\xE9t\xE9", "", "o\xF9 ?", "\xC7t\xE9"}}, CONTENT_OK}},
    };
    checkPackageRows(rows);
}

// A table of 120 questions with reveal texts, to see that the first 90 are kept with
// their own reveal texts and the colour is still found after all 120.
std::vector<uint8_t> manyQuestions(int count) {
    Layout layout = header(1, count, 1);
    for (int q = 1; q <= count; ++q) {
        layout.fields({"a" + std::to_string(q), "q" + std::to_string(q)});
    }
    layout.bytes({2});
    for (int q = 1; q <= count; ++q) {
        layout.fields({"r" + std::to_string(q)});
    }
    return layout.bytes({1, 2, 3}).b;
}

std::vector<Question> numberedQuestions(int count) {
    std::vector<Question> questions;
    for (int q = 1; q <= count; ++q) {
        std::string n = std::to_string(q);
        questions.push_back({"a" + n, "", "q" + n, "r" + n});
    }
    return questions;
}

TEST(PackageLayout, MalformedPackages) {
    const uint32_t cut = CONTENT_TRUNCATED;
    std::vector<PackageRow> rows = {
        {"empty", {}, {QUIZ_TEXT, 1, 0, kMissingColour, {}, cut}},
        {"header cut after three bytes",
         Layout().bytes({0, 2, 1}).b,
         {QUIZ_TEXT, 1, 0, kMissingColour, {}, cut}},
        {"quiz type byte 0 gives a text quiz",
         header(0, 1, 1).fields({"a", "q"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"a", "", "q", ""}}, CONTENT_BAD_QUIZ_TYPE}},
        {"quiz type byte 9 gives a text quiz",
         header(9, 1, 1).fields({"a", "q"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"a", "", "q", ""}}, CONTENT_BAD_QUIZ_TYPE}},
        {"answers byte 0 reads one answer",
         header(1, 1, 0).fields({"a", "q"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"a", "", "q", ""}}, CONTENT_BAD_ANSWER_COUNT}},
        {"answers byte 3 reads one answer",
         header(1, 1, 3).fields({"a", "q"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT, 1, 0, 0x030201, {{"a", "", "q", ""}}, CONTENT_BAD_ANSWER_COUNT}},
        {"count 120 keeps 90 with their own reveal texts",
         manyQuestions(120),
         {QUIZ_TEXT, 1, 2, 0x030201, numberedQuestions(90), CONTENT_TOO_MANY_QUESTIONS}},
        {"count 91 keeps 90",
         manyQuestions(91),
         {QUIZ_TEXT, 1, 2, 0x030201, numberedQuestions(90), CONTENT_TOO_MANY_QUESTIONS}},
        {"count 90 is whole",
         manyQuestions(90),
         {QUIZ_TEXT, 1, 2, 0x030201, numberedQuestions(90), CONTENT_OK}},
        {"300-byte answer cut to 259, the rest read in place",
         header(1, 2, 1).fields({k300, "q1", "a2", "q2"}).bytes({0, 1, 2, 3}).b,
         {QUIZ_TEXT,
          1,
          0,
          0x030201,
          {{std::string(259, 'y'), "", "q1", ""}, {"a2", "", "q2", ""}},
          CONTENT_TEXT_TOO_LONG}},
        {"300-byte reveal text cut to 259",
         header(1, 1, 1).fields({"a", "q"}).bytes({4}).fields({k300}).bytes({1, 2, 3}).b,
         {QUIZ_TEXT,
          1,
          4,
          0x030201,
          {{"a", "", "q", std::string(259, 'y')}},
          CONTENT_TEXT_TOO_LONG}},
        {"last question text without its delimiter",
         header(1, 2, 1).fields({"a1", "q1", "a2"}).raw("q2").b,
         {QUIZ_TEXT, 1, 0, kMissingColour, {{"a1", "", "q1", ""}}, cut}},
        {"second answer missing in a two-answer quiz",
         header(1, 2, 2).fields({"a1", "b1", "q1", "a2"}).b,
         {QUIZ_TEXT, 2, 0, kMissingColour, {{"a1", "b1", "q1", ""}}, cut}},
        {"fewer questions than counted",
         header(1, 3, 1).fields({"a1", "q1", "a2", "q2"}).bytes({2}).fields({"r"}).b,
         {QUIZ_TEXT, 1, 0, kMissingColour, {{"a1", "", "q1", ""}, {"a2", "", "q2", ""}}, cut}},
        {"no reveal-mode byte",
         header(1, 1, 1).fields({"a", "q"}).b,
         {QUIZ_TEXT, 1, 0, kMissingColour, {{"a", "", "q", ""}}, cut}},
        {"reveal texts cut off keep the whole ones",
         header(1, 2, 1).fields({"a1", "q1", "a2", "q2"}).bytes({2}).fields({"r1"}).raw("r2").b,
         {QUIZ_TEXT, 1, 2, kMissingColour, {{"a1", "", "q1", "r1"}, {"a2", "", "q2", ""}}, cut}},
        {"mode 3 cut in the dropped field of the last pair",
         header(1, 1, 1).fields({"a", "q"}).bytes({3}).fields({"r"}).raw("dro").b,
         {QUIZ_TEXT, 1, 3, kMissingColour, {{"a", "", "q", "r"}}, cut}},
        {"two colour bytes of three",
         header(1, 0, 1).bytes({0, 0xFF, 0x00}).b,
         {QUIZ_TEXT, 1, 0, kMissingColour, {}, cut}},
        {"several problems at once",
         header(7, 1, 5).fields({k300}).b,
         {QUIZ_TEXT,
          1,
          0,
          kMissingColour,
          {},
          cut | CONTENT_TEXT_TOO_LONG | CONTENT_BAD_QUIZ_TYPE | CONTENT_BAD_ANSWER_COUNT}},
    };
    checkPackageRows(rows);
}

TEST(PackageLayout, ReadFieldStopsOnItsEndByte) {
    struct Row {
        const char* name;
        std::string bytes;
        uint8_t endByte;
        std::string text;
        uint32_t problems;
        int32_t position;
    } rows[] = {
        {"field", "abc|def", '|', "abc", CONTENT_OK, 3},
        {"empty field", "|x", '|', "", CONTENT_OK, 0},
        {"code line ends at CR", "AB\r\nC", '\r', "AB", CONTENT_OK, 2},
        {"| inside a code line", "a|b\r", '\r', "a|b", CONTENT_OK, 3},
        {"no end byte", "abc", '|', "abc", CONTENT_TRUNCATED, 3},
        {"nothing", "", '|', "", CONTENT_TRUNCATED, 0},
        {"zeros dropped", std::string("\0a\0b|", 5), '|', "ab", CONTENT_OK, 4},
        {"259 bytes", k259 + "|", '|', k259, CONTENT_OK, 259},
        {"260 bytes", std::string(260, 'z') + "|", '|', std::string(259, 'z'),
         CONTENT_TEXT_TOO_LONG, 260},
        {"long and cut off", k300, '|', std::string(259, 'y'),
         CONTENT_TEXT_TOO_LONG | CONTENT_TRUNCATED, 300},
    };
    for (const Row& row : rows) {
        ExactBytes bytes(std::vector<uint8_t>(row.bytes.begin(), row.bytes.end()));
        ByteCursor cursor = {bytes.data.get(), bytes.length, 0};
        char text[kTextCapacity + 4];
        memset(text, 'G', sizeof text);
        EXPECT_EQ(readField(&cursor, row.endByte, text), row.problems) << row.name;
        EXPECT_EQ(std::string(text), row.text) << row.name;
        EXPECT_EQ(cursor.position, row.position) << row.name;
        for (int i = kTextCapacity; i < kTextCapacity + 4; ++i) {
            EXPECT_EQ(text[i], 'G') << row.name << ", byte " << i;
        }
    }
}

// The hand-laid package: a text quiz of three questions, one answer each, reveal mode 2.
TEST(PackageFixture, HandmadePackageAndCodes) {
    std::vector<uint8_t> package = readBytes(kDataDir + "handmade_package.bin");
    std::vector<uint8_t> codes = readBytes(kDataDir + "handmade_codes.bin");
    ASSERT_EQ(package.size(), 313u);
    ASSERT_EQ(codes.size(), 24u);

    OwnedQuiz fresh;
    Quiz* quiz = fresh.quiz;
    ExactBytes packageBytes(package);
    uint32_t problems = readPackage(packageBytes.data.get(), packageBytes.length, quiz);
    Expected want = {
        QUIZ_TEXT,
        1,
        REVEAL_TEXT,
        0xFFD8C0,
        {{"Paris", "", "Capitale de la France ?", "Paris compte 2,1 millions d'habitants."},
         {"Rome", "", "Capitale de l'Italie ?",
          "Rome fut fond\xE9"
          "e en 753 av. J.-C."},
         {"Berlin", "", "Capitale de l'Allemagne ?",
          "Berlin est la plus grande ville d'Allemagne."}},
        CONTENT_OK};
    expectQuiz(quiz, want, problems, "handmade package");
    EXPECT_STREQ(quiz->title, "Capitales d'Europe");
    EXPECT_STREQ(quiz->creator, "L'\xE9quipe Quizz");
    EXPECT_STREQ(quiz->explanation, "Trouvez la capitale de chaque pays.");
    EXPECT_STREQ(quiz->answerLabel1, "Pr\xE9nom - Nom");
    EXPECT_STREQ(quiz->answerLabel2, "Manga / Anime");

    ExactBytes codeBytes(codes);
    EXPECT_EQ(readCodeTable(codeBytes.data.get(), codeBytes.length, quiz), CONTENT_OK);
    EXPECT_STREQ(quiz->codes[0], "BRAVO1");
    EXPECT_STREQ(quiz->codes[1], "DEUX22");
    EXPECT_STREQ(quiz->codes[2], "TROIS3");
    EXPECT_STREQ(quiz->codes[3], "");

    // Laying the quiz out again gives the very same bytes.
    EXPECT_EQ(layOutPackage(*quiz), package);
    EXPECT_EQ(layOutCodeTable(*quiz), codes);
}

TEST(CodeTable, Layouts) {
    struct Row {
        const char* name;
        int32_t questionCount;
        std::string bytes;
        std::vector<std::string> codes; // entries 0.. expected; the rest must be empty
        uint32_t problems;
    } rows[] = {
        {"line 1 is the code for a score of 1",
         3,
         "UN\r\nDEUX\r\nTROIS\r\n",
         {"UN", "DEUX", "TROIS"},
         CONTENT_OK},
        {"lines after the n-th are ignored",
         2,
         "UN\r\nDEUX\r\nTROIS\r\n",
         {"UN", "DEUX"},
         CONTENT_OK},
        {"the byte after CR is not examined", 3, "A\rXB\r\rC\r|", {"A", "B", "C"}, CONTENT_OK},
        {"no questions, nothing read", 0, "garbage without end", {}, CONTENT_OK},
        {"empty code lines", 2, "\r\n\r\n", {"", ""}, CONTENT_OK},
        {"last CR is the last byte", 1, "A\r", {"A"}, CONTENT_OK},
        {"a 259-byte code is stored whole", 2, k259 + "\r\nB\r\n", {k259, "B"}, CONTENT_OK},
        {"a 300-byte code is cut to 259",
         2,
         k300 + "\r\nB\r\n",
         {std::string(259, 'y'), "B"},
         CONTENT_TEXT_TOO_LONG},
        {"fewer lines than questions", 3, "A\r\nB\r\n", {"A", "B"}, CONTENT_TRUNCATED},
        {"last line without CR is dropped", 2, "A\r\nB", {"A"}, CONTENT_TRUNCATED},
        {"empty table", 2, "", {}, CONTENT_TRUNCATED},
    };
    for (const Row& row : rows) {
        OwnedQuiz fresh;
        fresh.quiz->questionCount = row.questionCount;
        ExactBytes bytes(std::vector<uint8_t>(row.bytes.begin(), row.bytes.end()));
        uint32_t problems = readCodeTable(bytes.data.get(), bytes.length, fresh.quiz);
        EXPECT_EQ(problems, row.problems) << row.name;
        for (int i = 0; i < kMaxQuestions; ++i) {
            std::string want = i < static_cast<int>(row.codes.size()) ? row.codes[i] : "";
            EXPECT_EQ(fresh.quiz->codes[i], want) << row.name << ", code " << i;
        }
    }
}

TEST(CodeTable, CountAbove90FillsExactly90Codes) {
    std::string table;
    for (int i = 1; i <= 120; ++i) {
        table += "C" + std::to_string(i) + "\r\n";
    }
    OwnedQuiz fresh;
    fresh.quiz->questionCount = 120;
    ExactBytes bytes(std::vector<uint8_t>(table.begin(), table.end()));
    EXPECT_EQ(readCodeTable(bytes.data.get(), bytes.length, fresh.quiz),
              CONTENT_TOO_MANY_QUESTIONS);
    EXPECT_STREQ(fresh.quiz->codes[0], "C1");
    EXPECT_STREQ(fresh.quiz->codes[89], "C90");
    // The slot right after the codes must be untouched.
    EXPECT_EQ(fresh.quiz->reservedTable[0], 0);
}

// Cutting a valid package at every length: never a read past the cut (ASan), always a
// consistent Quiz holding exactly the questions and reveal texts whose delimiters made it.
struct SweepCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int fieldsPerQuestion;
    int revealFieldsPerQuestion;
};

void sweepPackage(const SweepCase& sweep) {
    OwnedQuiz full;
    ExactBytes whole(sweep.bytes);
    ASSERT_EQ(readPackage(whole.data.get(), whole.length, full.quiz), CONTENT_OK) << sweep.name;
    int n = full.quiz->questionCount;

    std::vector<int32_t> pipes;
    for (size_t i = 0; i < sweep.bytes.size(); ++i) {
        if (sweep.bytes[i] == '|') {
            pipes.push_back(static_cast<int32_t>(i));
        }
    }
    ASSERT_EQ(pipes.size(), 5u + n * (sweep.fieldsPerQuestion + sweep.revealFieldsPerQuestion))
        << sweep.name;

    for (size_t cut = 0; cut < sweep.bytes.size(); ++cut) {
        std::string context = std::string(sweep.name) + ", cut at " + std::to_string(cut);
        OwnedQuiz fresh;
        Quiz* quiz = fresh.quiz;
        ExactBytes bytes(sweep.bytes, cut);
        uint32_t problems = readPackage(bytes.data.get(), bytes.length, quiz);
        EXPECT_EQ(problems, CONTENT_TRUNCATED) << context;
        expectConsistent(quiz, context);
        EXPECT_EQ(quiz->backgroundColour, kMissingColour) << context;

        int32_t wholeQuestions = 0;
        for (int q = 0; q < n; ++q) {
            if (pipes[5 + (q + 1) * sweep.fieldsPerQuestion - 1] < static_cast<int32_t>(cut)) {
                wholeQuestions = q + 1;
            }
        }
        ASSERT_EQ(quiz->questionCount, wholeQuestions) << context;
        EXPECT_STREQ(quiz->title, pipes[0] < static_cast<int32_t>(cut) ? full.quiz->title : "")
            << context;
        int32_t modeOffset = pipes[4 + n * sweep.fieldsPerQuestion] + 1;
        EXPECT_EQ(quiz->revealMode,
                  modeOffset < static_cast<int32_t>(cut) ? full.quiz->revealMode : REVEAL_NOTHING)
            << context;
        const QuestionNode* got = quiz->head;
        const QuestionNode* want = full.quiz->head;
        for (int q = 0; q < wholeQuestions; ++q, got = got->next, want = want->next) {
            std::string where = context + ", question " + std::to_string(q + 1);
            EXPECT_STREQ(got->answer1, want->answer1) << where;
            EXPECT_STREQ(got->answer2, want->answer2) << where;
            EXPECT_STREQ(got->questionText, want->questionText) << where;
            bool revealWhole =
                sweep.revealFieldsPerQuestion > 0 &&
                pipes[5 + n * sweep.fieldsPerQuestion + q * sweep.revealFieldsPerQuestion] <
                    static_cast<int32_t>(cut);
            EXPECT_STREQ(got->revealText, revealWhole ? want->revealText : "") << where;
        }
    }
}

TEST(PackageTruncation, EveryCutOfAValidPackage) {
    std::vector<SweepCase> cases = {
        {"handmade package", readBytes(kDataDir + "handmade_package.bin"), 2, 1},
        {"two answers, reveal mode 3",
         header(2, 3, 2)
             .fields({"a1", "b1", "q1", "a2", "b2", "q2", "a3", "b3", "q3"})
             .bytes({3})
             .fields({"r1", "x1", "r2", "x2", "r3", "x3"})
             .bytes({1, 2, 3})
             .b,
         3, 2},
        {"reveal mode 0", header(3, 2, 1).fields({"a1", "q1", "a2", "q2"}).bytes({0, 1, 2, 3}).b, 2,
         0},
    };
    for (const SweepCase& sweep : cases) {
        sweepPackage(sweep);
    }
}

TEST(CodeTableTruncation, EveryCutOfAValidTable) {
    std::vector<uint8_t> table = readBytes(kDataDir + "handmade_codes.bin");
    ASSERT_FALSE(table.empty());
    const char* full[] = {"BRAVO1", "DEUX22", "TROIS3"};
    for (size_t cut = 0; cut < table.size(); ++cut) {
        OwnedQuiz fresh;
        fresh.quiz->questionCount = 3;
        ExactBytes bytes(table, cut);
        uint32_t problems = readCodeTable(bytes.data.get(), bytes.length, fresh.quiz);
        // A line is whole once its CR is inside the cut; the last LF is not needed.
        int wholeLines = 0;
        for (size_t i = 0; i < cut; ++i) {
            wholeLines += table[i] == '\r';
        }
        std::string context = "cut at " + std::to_string(cut);
        EXPECT_EQ(problems, wholeLines == 3 ? CONTENT_OK : CONTENT_TRUNCATED) << context;
        for (int i = 0; i < 3; ++i) {
            EXPECT_STREQ(fresh.quiz->codes[i], i < wholeLines ? full[i] : "")
                << context << ", code " << i;
        }
    }
}

// A quiz made in memory survives layOutPackage and readPackage, in every quiz type,
// answer count and reveal mode.
TEST(PackageRoundTrip, EveryTypeAnswerCountAndRevealMode) {
    for (int32_t type = QUIZ_TEXT; type <= QUIZ_VIDEO; ++type) {
        for (int32_t answers = 1; answers <= 2; ++answers) {
            for (int32_t mode = 0; mode <= 5; ++mode) {
                std::string context = "type " + std::to_string(type) + ", answers " +
                                      std::to_string(answers) + ", mode " + std::to_string(mode);
                OwnedQuiz source;
                Quiz* quiz = source.quiz;
                quiz->quizType = type;
                quiz->answersPerQuestion = answers;
                quiz->revealMode = mode;
                quiz->backgroundColour = 0x00A0B0C0;
                copyText(quiz->title, "Titre \xE9t\xE9");
                copyText(quiz->creator, "");
                copyText(quiz->explanation, k259.c_str());
                copyText(quiz->answerLabel1, "Un");
                copyText(quiz->answerLabel2, "Deux");
                std::vector<Question> want;
                for (int q = 1; q <= 4; ++q) {
                    std::string n = std::to_string(q);
                    Question question = {"a" + n, answers == 2 ? "b" + n : "", "q" + n,
                                         mode >= 2 && mode <= 4 ? "r" + n : ""};
                    QuestionNode* node =
                        appendQuestion(quiz, question.answer1.c_str(), question.answer2.c_str(),
                                       question.questionText.c_str());
                    ASSERT_NE(node, nullptr);
                    copyText(node->revealText, question.revealText.c_str());
                    want.push_back(question);
                }
                quiz->questionCount = 4;

                OwnedQuiz back;
                ExactBytes bytes(layOutPackage(*quiz));
                uint32_t problems = readPackage(bytes.data.get(), bytes.length, back.quiz);
                expectQuiz(back.quiz, {type, answers, mode, 0x00A0B0C0, want, CONTENT_OK}, problems,
                           context);
                EXPECT_STREQ(back.quiz->title, quiz->title) << context;
                EXPECT_STREQ(back.quiz->creator, "") << context;
                EXPECT_STREQ(back.quiz->explanation, k259.c_str()) << context;
                EXPECT_STREQ(back.quiz->answerLabel2, "Deux") << context;
            }
        }
    }
}

TEST(PackageRoundTrip, CodeTableOf90Codes) {
    OwnedQuiz source;
    source.quiz->questionCount = kMaxQuestions;
    for (int i = 0; i < kMaxQuestions; ++i) {
        copyText(source.quiz->codes[i], ("CODE" + std::to_string(i + 1)).c_str());
    }
    copyText(source.quiz->codes[44], k259.c_str());
    copyText(source.quiz->codes[45], "");

    OwnedQuiz back;
    back.quiz->questionCount = kMaxQuestions;
    ExactBytes bytes(layOutCodeTable(*source.quiz));
    EXPECT_EQ(readCodeTable(bytes.data.get(), bytes.length, back.quiz), CONTENT_OK);
    for (int i = 0; i < kMaxQuestions; ++i) {
        EXPECT_STREQ(back.quiz->codes[i], source.quiz->codes[i]) << "code " << i;
    }
}

TEST(FallbackQuiz, PictureQuizOfTwoQuestions) {
    OwnedQuiz fresh;
    Quiz* quiz = fresh.quiz;
    fillFallbackQuiz(quiz);
    EXPECT_STREQ(quiz->title, "Nom du quizz");
    EXPECT_STREQ(quiz->creator, "Createur quizz");
    EXPECT_STREQ(quiz->explanation, "Explications du quizz");
    EXPECT_STREQ(quiz->answerLabel1, "Pr\xE9nom - Nom");
    EXPECT_STREQ(quiz->answerLabel2, "Manga / Anime");
    Expected want = {QUIZ_PICTURE,
                     1,
                     REVEAL_TEXT_AND_PICTURE,
                     0,
                     {{"vrel", "titi", "titi", ""}, {"tombir", "plouf", "titi", ""}},
                     CONTENT_OK};
    expectQuiz(quiz, want, CONTENT_OK, "fallback quiz");
    for (int i = 0; i < kMaxQuestions; ++i) {
        EXPECT_STREQ(quiz->codes[i], "") << "code " << i;
    }
}

TEST(ContentProblems, DescribedInFrench) {
    struct Row {
        uint32_t problems;
        size_t capacity;
        const char* text;
    } rows[] = {
        {CONTENT_TRUNCATED, 256,
         "Le quizz est endommag\xE9 : donn\xE9"
         "es incompl\xE8tes."},
        {CONTENT_TEXT_TOO_LONG | CONTENT_TOO_MANY_QUESTIONS, 256,
         "Le quizz est endommag\xE9 : texte trop long, plus de 90 questions."},
        {CONTENT_BAD_ANSWER_COUNT | CONTENT_BAD_QUIZ_TYPE | CONTENT_OUT_OF_MEMORY, 256,
         "Le quizz est endommag\xE9 : nombre de r\xE9ponses invalide, type de quizz invalide, "
         "m\xE9moire insuffisante."},
        {CONTENT_TRUNCATED, 10, "Le quizz "},
        {CONTENT_TRUNCATED, 1, ""},
    };
    for (const Row& row : rows) {
        char text[300];
        memset(text, 'G', sizeof text);
        describeContentProblems("Le quizz est endommag\xE9", row.problems, text, row.capacity);
        EXPECT_STREQ(text, row.text)
            << "problems " << row.problems << ", capacity " << row.capacity;
        EXPECT_EQ(text[row.capacity], 'G') << "capacity " << row.capacity;
    }
}

// ---- "PATCH" 106 ------------------------------------------------------------------------

// The answers of a quiz as "main|other|..." per field, field order.
std::vector<std::string> formsOf(const Quiz* quiz) {
    std::vector<std::string> all;
    for (const QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        for (int a = 1; a <= quiz->answersPerQuestion; ++a) {
            const char* forms[kMaxAnswerForms];
            std::string joined;
            for (int i = 0, n = answerForms(node, a, forms); i < n; ++i) {
                joined += (i ? "|" : "") + std::string(forms[i]);
            }
            all.push_back(joined);
        }
    }
    return all;
}

struct ExtrasRow {
    const char* name;
    std::vector<uint8_t> bytes;
    ExtrasProblem problem;
    uint32_t tolerances;            // read when the problem is EXTRAS_OK
    const char* link;               // null: the program's own
    std::vector<std::string> forms; // of the quiz's four fields
};

// Two questions of two answers ("A1", "B1", "A2", "B2"): fields 1 to 4.
TEST(GradingExtras, LayoutReadAllOrNothing) {
    const std::vector<std::string> exact = {"A1", "B1", "A2", "B2"};
    const std::vector<std::string> seven = {"a", "b", "c", "d", "e", "f", "g"};
    // clang-format off
    const std::vector<ExtrasRow> rows = {
        {"tolerances only", Layout().bytes({1, 7, 0, 0}).b, EXTRAS_OK, 7, nullptr, exact},
        {"the author's link", Layout().bytes({1, 0, 1}).fields({"https://ex.fr/a"}).bytes({0}).b,
         EXTRAS_OK, 0, "https://ex.fr/a", exact},
        {"no link at all", Layout().bytes({1, 0, 1}).fields({""}).bytes({0}).b, EXTRAS_OK, 0, "", exact},
        {"forms of fields 1 and 4", Layout().bytes({1, 1, 0, 2, 1, 2}).fields({"x", "De Gaulle"})
             .bytes({4, 1}).fields({"\xE9t\xE9"}).b,
         EXTRAS_OK, 1, nullptr, {"A1|x|De Gaulle", "B1", "A2", "B2|\xE9t\xE9"}},
        {"seven other forms", Layout().bytes({1, 0, 0, 1, 2, 7}).fields({"a", "b", "c", "d", "e", "f", "g"}).b,
         EXTRAS_OK, 0, nullptr, {"A1", "B1|a|b|c|d|e|f|g", "A2", "B2"}},
        {"a 259-byte form", Layout().bytes({1, 0, 0, 1, 3, 1}).fields({k259}).b, EXTRAS_OK, 0, nullptr,
         {"A1", "B1", "A2|" + k259, "B2"}},
        {"no bytes", {}, EXTRAS_TRUNCATED, 0, nullptr, exact},
        {"version 2", Layout().bytes({2, 0, 0, 0}).b, EXTRAS_UNKNOWN_VERSION, 0, nullptr, exact},
        {"a fourth tolerance", Layout().bytes({1, 8, 0, 0}).b, EXTRAS_BAD_TOLERANCES, 0, nullptr, exact},
        {"link byte 2", Layout().bytes({1, 0, 2, 0}).b, EXTRAS_BAD_LINK, 0, nullptr, exact},
        {"a link that runs a program", Layout().bytes({1, 0, 1}).fields({"C:\\Windows\\calc.exe"}).bytes({0}).b,
         EXTRAS_BAD_LINK, 0, nullptr, exact},
        {"a link with a blank", Layout().bytes({1, 0, 1}).fields({"http://a b"}).bytes({0}).b,
         EXTRAS_BAD_LINK, 0, nullptr, exact},
        {"a link without its end", Layout().bytes({1, 0, 1}).raw("http://a").b, EXTRAS_TRUNCATED, 0, nullptr, exact},
        {"field 0", Layout().bytes({1, 0, 0, 1, 0, 1}).fields({"x"}).b, EXTRAS_BAD_FIELD, 0, nullptr, exact},
        {"field 5 of 4", Layout().bytes({1, 0, 0, 1, 5, 1}).fields({"x"}).b, EXTRAS_BAD_FIELD, 0, nullptr, exact},
        {"fields out of order", Layout().bytes({1, 0, 0, 2, 2, 1}).fields({"x"}).bytes({1, 1}).fields({"y"}).b,
         EXTRAS_BAD_FIELD, 0, nullptr, exact},
        {"no form counted", Layout().bytes({1, 0, 0, 1, 1, 0}).b, EXTRAS_BAD_FORM, 0, nullptr, exact},
        {"eight other forms", Layout().bytes({1, 0, 0, 1, 1, 8}).fields({"a", "b", "c", "d", "e", "f", "g", "h"}).b,
         EXTRAS_BAD_FORM, 0, nullptr, exact},
        {"an empty form", Layout().bytes({1, 0, 0, 1, 1, 1}).fields({""}).b, EXTRAS_BAD_FORM, 0, nullptr, exact},
        {"a 260-byte form", Layout().bytes({1, 0, 0, 1, 1, 1}).fields({k259 + "x"}).b, EXTRAS_BAD_FORM, 0, nullptr, exact},
        {"a NUL in a form", Layout().bytes({1, 0, 0, 1, 1, 1}).raw(std::string("a\0b|", 4)).b, EXTRAS_BAD_FORM, 0, nullptr, exact},
        // The second entry is wrong: the first one's forms are not kept either.
        {"cut in the second entry", Layout().bytes({1, 3, 0, 2, 1, 1}).fields({"x"}).bytes({2, 1}).raw("y").b,
         EXTRAS_TRUNCATED, 0, nullptr, exact},
        {"a byte after the last entry", Layout().bytes({1, 3, 0, 1, 1, 1}).fields({"x"}).bytes({0}).b,
         EXTRAS_TRAILING_BYTES, 0, nullptr, exact},
    };
    // clang-format on
    for (const ExtrasRow& row : rows) {
        OwnedQuiz quiz(test_support::makeNumberedQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING, 2));
        ExactBytes bytes(row.bytes);
        EXPECT_EQ(readGradingExtras(bytes.data.get(), bytes.length, quiz.quiz), row.problem)
            << row.name;
        EXPECT_EQ(quiz->tolerances, row.tolerances) << row.name;
        EXPECT_EQ(quiz->linkChoice, row.link ? LINK_AUTHOR : LINK_PROGRAM) << row.name;
        EXPECT_STREQ(quiz->link, row.link ? row.link : "") << row.name;
        EXPECT_EQ(formsOf(quiz.quiz), row.forms) << row.name;
        if (row.problem == EXTRAS_OK) {
            EXPECT_EQ(layOutGradingExtras(*quiz.quiz), row.bytes) << row.name << ": laid out again";
        }
    }
}

TEST(GradingExtras, NothingToLayOutForAnExactQuiz) {
    OwnedQuiz quiz(test_support::makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_TEXT, 3));
    EXPECT_FALSE(hasGradingExtras(*quiz.quiz));
    EXPECT_TRUE(layOutGradingExtras(*quiz.quiz).empty());
}

} // namespace
