// Tests of `quizpack grade`, run as a user would run it: the real binary (QUIZPACK_PATH),
// UTF-8 arguments and files, standard input, exit codes and messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checking/grader.h"
#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/common/cp1252.h"

using namespace test_support;

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

const std::string kSimilarUtf8 = "yade lid\xC3\xA9"
                                 "e";

struct ArgRow {
    std::string expected;
    std::string typed;
    std::string verdict; // UTF-8
};

TEST(GradeCommand, GradesTwoArgumentsWithAccents) {
    const std::vector<ArgRow> rows = {
        {"Chateau de Versailles", "chato de versaille", kSimilarUtf8},
        {"Tour Eiffel", "  tour eiffel ", "BRAVO"},
        {"Cl\xC3\xA9op\xC3\xA2tre", "CL\xC3\xA9OP\xC3\xA2TRE", "BRAVO"},
        {"Cl\xC3\xA9op\xC3\xA2tre", "CL\xC3\x89OP\xC3\x82TRE", "Presque"},
        {"Cl\xC3\xA9op\xC3\xA2tre", "cleopatre", "Presque"},
        {"\xC5\x92uvre", "\xC5\x93uvre", "Quasiment"}, // Œ and œ are bytes 8C and 9C
        {"ANANAS", "ananananas", "FAUX"},
        {"Paris", "   ", "?"},
        {"", "ab", "Presque"},
    };
    for (const ArgRow& row : rows) {
        SCOPED_TRACE(row.expected + " / " + row.typed);
        const ProgramRun run = runQuizpack({"grade", row.expected, row.typed});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, row.verdict + "\n");
        EXPECT_EQ(run.err, "");
    }
}

TEST(GradeCommand, CharacterWithoutWindows1252ByteIsAnError) {
    ProgramRun run = runQuizpack({"grade", "Lodz",
                                  "\xC5\x81\xC3\xB3"
                                  "d\xC5\xBA"}); // Łódź
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "typed text")) << run.err;
    EXPECT_TRUE(contains(run.err, "character 1")) << run.err;
    EXPECT_TRUE(contains(run.err, "U+0141")) << run.err;
    EXPECT_TRUE(contains(run.err, "\xC5\x81")) << run.err;

    run = runQuizpack({"grade", "Erd\xC5\x91s", "erdos"}); // Erdős
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "expected answer")) << run.err;
    EXPECT_TRUE(contains(run.err, "character 4")) << run.err;
    EXPECT_TRUE(contains(run.err, "U+0151")) << run.err;

    run = runQuizpack({"grade", "Paris", "caf\xE9"}); // Latin-1, not UTF-8
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "typed text")) << run.err;
    EXPECT_TRUE(contains(run.err, "character 4")) << run.err;
    EXPECT_TRUE(contains(run.err, "not valid UTF-8")) << run.err;
}

TEST(GradeCommand, TypedTextIsCutAt259AndExpectedLimitedTo259) {
    const std::string answer259 = std::string(258, 'a') + "\xC3\xA9"; // 259 characters
    ProgramRun run = runQuizpack({"grade", answer259, answer259 + "xyz"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "BRAVO\n");
    EXPECT_TRUE(contains(run.err, "262")) << run.err; // a note: only 259 are graded
    EXPECT_TRUE(contains(run.err, "259")) << run.err;

    run = runQuizpack({"grade", answer259 + "b", "a"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "expected answer")) << run.err;
    EXPECT_TRUE(contains(run.err, "260")) << run.err;

    run = runQuizpack({"grade", "a | " + answer259 + "b", "a"}); // each form is limited
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "form 2")) << run.err;
}

TEST(GradeCommand, NotesAnExpectedAnswerWithABlankAtAnEnd) {
    const ProgramRun run = runQuizpack({"grade", "Paris ", "paris"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "Quasiment\n");
    EXPECT_TRUE(contains(run.err, "blank")) << run.err;
}

TEST(GradeCommand, UsageAndHelp) {
    ProgramRun run = runQuizpack({"grade", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(contains(run.out, "quizpack grade EXPECTED TYPED"));
    EXPECT_TRUE(contains(run.out, "--tsv"));

    run = runQuizpack({"grade"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "EXPECTED and TYPED")) << run.err;

    run = runQuizpack({"grade", "Paris"});
    EXPECT_EQ(run.exitCode, 2);

    run = runQuizpack({"grade", "a", "b", "c"});
    EXPECT_EQ(run.exitCode, 2);

    run = runQuizpack({"grade", "--tsv"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "--tsv")) << run.err;

    run = runQuizpack({"grade", "--frobnicate", "x"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(contains(run.err, "--frobnicate")) << run.err;

    run = runQuizpack({"grade", "--", "--x--", "--X--"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "BRAVO\n");

    run = runQuizpack({"grade", "-5", "-5"}); // a single dash is an answer, not an option
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "BRAVO\n");
}

TEST(GradeCommand, TsvFileWithMalformedLinesInTheMiddle) {
    const std::string input = "Paris\tparis france\n"                         // 1 Trop long
                              "Dromadaire dromada\n"                          // 2 no tab
                              "Chateau de Versailles\tchato de versaille\r\n" // 3 CRLF, yade lidée
                              "a\tb\tc\n"                                     // 4 two tabs
                              "Lion\t\xC5\x81ion\n" // 5 Ł in the typed text
                              "\n"                  // 6 empty line
                              "Cl\xC3\xA9op\xC3\xA2tre\tCL\xC3\xA9OP\xC3\xA2TRE\n" // 7 BRAVO
                              + std::string(260, 'x') +
                              "\tx\n"            // 8 expected over 259
                              "\tabc\n"          // 9 empty expected: FAUX
                              "Montagne\t  \r\n" // 10 ?
                              "Lion\tloin";      // 11 no final newline
    TempFolder folder("grade");
    const std::string file = folder.file("answers.tsv");
    writeFile(file, input);
    const ProgramRun run = runQuizpack({"grade", "--tsv", file});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "Trop long\nERROR\n" + kSimilarUtf8 +
                           "\nERROR\nERROR\nERROR\nBRAVO\nERROR\nFAUX\n?\nAnagramme\n");
    const std::string where = file + ":";
    EXPECT_TRUE(contains(run.err, where + "2: no tab")) << run.err;
    EXPECT_TRUE(contains(run.err, where + "4: more than one tab")) << run.err;
    EXPECT_TRUE(contains(run.err, where + "5: typed text: character 1 U+0141")) << run.err;
    EXPECT_TRUE(contains(run.err, where + "6: empty line")) << run.err;
    EXPECT_TRUE(contains(run.err, where + "8: expected answer has 260 characters")) << run.err;
    EXPECT_FALSE(contains(run.err, where + "3:")) << run.err;
    EXPECT_TRUE(contains(run.err, "5 of 11 lines malformed")) << run.err;
}

TEST(GradeCommand, TsvFromStandardInputWithBomAndCrlf) {
    const std::string input = "\xEF\xBB\xBFTour Eiffel\ttour  eiffel\r\n"
                              "Revolution francaise\trevolution franc\r\n"
                              "Revolution francaise\tolution franc\r\n"
                              "Elephant\telep\r\n";
    const ProgramRun run = runQuizpack({"grade", "--tsv", "-"}, input);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Quasiment\nTrop court\npas loin\nFAUX\n");
    EXPECT_EQ(run.err, "");
}

TEST(GradeCommand, TsvEmptyInputAndMissingFile) {
    ProgramRun run = runQuizpack({"grade", "--tsv", "-"}, "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");

    run = runQuizpack({"grade", "--tsv", "/nonexistent/answers.tsv"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, "/nonexistent/answers.tsv")) << run.err;
}

// Many lines through standard input agree, line by line, with gradeText itself.
TEST(GradeCommand, TsvManyLinesAgreeWithGradeText) {
    const char* const kExpected[] = {
        "Paris", "Tour Eiffel", "Cl\xE9op\xE2tre", "Revolution francaise", "Chateau de Versailles",
        ""};
    const char* const kTyped[] = {"paris",
                                  "pari",
                                  "parisss",
                                  "tour eifel",
                                  "cleopatre",
                                  "revolution franc",
                                  "chato de versaille",
                                  "  ",
                                  "CL\xC9OP\xC2TRE",
                                  "londres",
                                  "paris france"};
    std::string input;
    std::string want;
    int n = 0;
    for (int round = 0; round < 300; ++round) {
        for (const char* e : kExpected) {
            for (const char* t : kTyped) {
                std::string typed = t;
                if (round % 7 == 1) {
                    typed += std::string(static_cast<size_t>(round), 'z'); // some over 259
                }
                input += cp1252ToUtf8(e) + "\t" + cp1252ToUtf8(typed) + (round % 2 ? "\r\n" : "\n");
                want += cp1252ToUtf8(gradeText(e, typed.substr(0, 259).c_str())) + "\n";
                ++n;
            }
        }
    }
    const ProgramRun run = runQuizpack({"grade", "--tsv", "-"}, input);
    EXPECT_EQ(run.exitCode, 0) << run.err.substr(0, 500);
    EXPECT_EQ(run.out.size(), want.size());
    EXPECT_TRUE(run.out == want) << n << " lines; outputs differ";
}

// ---- accepted forms, tolerances and a quiz's fields --------------------------------------

struct GradeRow {
    std::vector<std::string> arguments; // after "grade"
    int exitCode;
    std::string out; // or, for an error, part of stderr
};

TEST(GradeCommand, FormsAndTolerances) {
    const std::string elysee = "\xC3\x89lys\xC3\xA9"
                               "e";
    const std::string elyseeSmall = "\xC3\xA9lys\xC3\xA9"
                                    "e";
    const std::string ete = "l'\xC3\xA9t\xC3\xA9";
    const std::string eteCurly = "l\xE2\x80\x99\xC3\xA9t\xC3\xA9";
    // clang-format off
    const std::vector<GradeRow> rows = {
        {{"Charles de Gaulle | De Gaulle", " de gaulle"}, 0, "BRAVO\n"},
        {{"Charles de Gaulle", "De Gaulle"}, 0, "pas loin\n"},
        {{"Paris | Lyon", "lyonn"}, 0, "Quasiment\n"},
        {{elysee, elyseeSmall}, 0, "Quasiment\n"},
        {{elysee, elyseeSmall, "--case", "any"}, 0, "BRAVO\n"},
        {{"--accents", "optional", "\xC5\x93uvre", "OEUVRE"}, 0, "BRAVO\n"},
        {{ete, eteCurly, "--quotes", "any"}, 0, "BRAVO\n"},
        {{ete, eteCurly, "--quotes", "exact"}, 0, "Quasiment\n"},
        {{"a", "b", "--case", "all"}, 2, "--case takes any or a-z, not 'all'"},
        {{"a", "b", "--accents"}, 2, "--accents takes optional or required"},
        {{"--quiz", "q.toml", "a", "b"}, 2, "--quiz grades the lines of --tsv"},
    };
    // clang-format on
    for (const GradeRow& row : rows) {
        std::vector<std::string> arguments = {"grade"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        const ProgramRun run = runQuizpack(arguments);
        SCOPED_TRACE(row.arguments[0] + " / " + row.arguments[1]);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        if (row.exitCode == 0) {
            EXPECT_EQ(run.out, row.out);
        } else {
            EXPECT_TRUE(contains(run.err, row.out)) << run.err;
        }
    }
}

// A description and the executable built from it grade each field alike: the field's forms
// and the quiz's own [grading].
TEST(GradeCommand, QuizGradesEachFieldAsItsPlayerDoes) {
    TempFolder folder("grade-quiz");
    writeFile(folder.file("quiz.toml"),
              "title = \"T\"\nkind = \"text\"\nanswers_per_question = 2\ncodes = [\"a\"]\n"
              "[grading]\ncase = \"any\"\n"
              "[[question]]\nanswers = [\"Charles de Gaulle | De Gaulle\", \"\xC3\x89lys\xC3\xA9"
              "e\"]\n");
    writeBytes(folder.file("template.exe"), authoring_test::minimalExecutable());
    const ProgramRun built =
        runQuizpack({"build", folder.file("quiz.toml"), "-o", folder.file("quiz.exe"), "--player",
                     folder.file("template.exe")});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::string lines = "1\tde gaulle\n"
                              "2\t\xC3\xA9LYS\xC3\xA9"
                              "E\r\n"
                              "2\telysee\n"
                              "3\tx\n"
                              "one\tx\n";
    for (const char* quiz : {"quiz.toml", "quiz.exe"}) {
        const ProgramRun run =
            runQuizpack({"grade", "--quiz", folder.file(quiz), "--tsv", "-"}, lines);
        EXPECT_EQ(run.exitCode, 2) << quiz;
        EXPECT_EQ(run.out, "BRAVO\nBRAVO\nPresque\nERROR\nERROR\n") << quiz;
        EXPECT_TRUE(contains(run.err, "<stdin>:4: '3' is not an answer field of this quiz: K "
                                      "goes from 1 to 2"))
            << quiz << ": " << run.err;
        EXPECT_TRUE(contains(run.err, "2 of 5 lines malformed")) << quiz << ": " << run.err;
    }
}

} // namespace
