// What check warns of that the player would show badly, with no error: texts cut off by
// their boxes, answers that cannot be kept or are easily missed, and missing pieces; from
// the description and from a CSV file of questions alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "quizpack/description/description.h"
#include "quizpack/common/messages.h"

namespace {

using namespace authoring_test;
using namespace test_support;

// The description and, when given, questions.csv beside it; q.jpg for picture quizzes.
CheckResult checkFiles(const TempFolder& dir, const std::string& toml, const std::string& csv) {
    writeBytes(dir / "q.jpg", jpegPicture(8, 8));
    if (!csv.empty())
        writeFile(dir / "questions.csv", csv);
    writeFile(dir / "quiz.toml", toml);
    return checkDescriptionFile(dir / "quiz.toml");
}

std::string questions(int count, const std::string& body = "answers = [\"a\"]\n") {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += "[[question]]\n" + body;
    return s;
}

// Ten-letter words of W, 110 px each in the GUI font: five fill a 580 px line.
std::string words(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? " " : "") + std::string(10, 'W');
    return s;
}

const char kText[] = "kind = \"text\"\n";
const char kCsv[] = "kind = \"text\"\nquestions = \"questions.csv\"\n";

struct WarningCase {
    const char* name;
    std::string toml;
    std::string csv;
    Severity severity;
    const char* file; // "quiz.toml" or "questions.csv"
    int line;
    int column;
    std::string key;
    std::string messagePart;
};

std::vector<WarningCase> warningCases() {
    const std::string picture2 = "kind = \"picture\"\nanswers_per_question = 2\n";
    // clang-format off
    return {
        // ---- texts the player cuts off ----
        {"title", std::string(kText) + "title = \"Les capitales du monde entier et leurs monuments\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "title",
         "the title is 329 px wide but its box holds 220: cut about 14 characters"},
        {"creator", std::string(kText) + "creator = \"Jean-Christophe Dupont\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "creator", "the creator is 114 px wide but its box holds 85"},
        {"explanation", std::string(kText) + "explanation = \"" + words(11) + "\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "explanation",
         "the explanation takes 3 lines of 580 px but its box shows 2: cut about 9 characters"},
        {"column label", picture2 + "labels = [\"Pr\xC3\xA9nom et nom du peintre\", \"B\"]\n" +
             questions(1, "answers = [\"a\", \"b\"]\npicture = \"q.jpg\"\n"), "",
         Severity::Warning, "quiz.toml", 3, 0, "labels[1]", "answer label 1 is 121 px wide but its box holds 95"},
        {"code", std::string(kText) + "codes = [\"Anticonstitution\"]\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "codes[1]",
         "the code for 1 solved is 72 px wide but its box holds 55"},
        {"question text of a text quiz", std::string(kText) + questions(1, "answers = [\"a\"]\ntext = \"" + std::string(50, 'W') + "\"\n"), "",
         Severity::Warning, "quiz.toml", 4, 0, "question[1].text",
         "the question text is 550 px wide but its box holds 548"},
        {"reveal text of a picture quiz", "kind = \"picture\"\nreveal = \"text\"\n" +
             questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\nreveal_text = \"" + words(11) + "\"\n"), "",
         Severity::Warning, "quiz.toml", 6, 0, "question[1].reveal_text",
         "the reveal text takes 6 lines of 260 px but its box shows 5"},
        {"question text from a CSV cell", kCsv, "answer;text\r\nParis;" + std::string(50, 'W') + "\r\n",
         Severity::Warning, "questions.csv", 2, 7, "question[1].text", "is 550 px wide"},

        // ---- answers that cannot be kept or are easily missed ----
        {"\"*\" comes back empty from the answers file", std::string(kText) + questions(1, "answers = [\"*\"]\n"), "",
         Severity::Warning, "quiz.toml", 3, 0, "question[1].answers", "answers file stores an empty field"},
        {"an accented capital", std::string(kText) + questions(1, "answers = [\"\xC3\x89gypte\"]\n"), "",
         Severity::Warning, "quiz.toml", 3, 0, "question[1].answers",
         "\"\xC3\xA9gypte\" grades \"Quasiment\""},
        {"a capital ligature", std::string(kText) + "answers_per_question = 2\n" + questions(1, "answers = [\"a\", \"\xC5\x92UVRE\"]\n"), "",
         Severity::Warning, "quiz.toml", 4, 0, "question[1].answers",
         "answer 2 \"\xC5\x92UVRE\" holds the capital \"\xC5\x92\""},
        {"an accented small letter", std::string(kText) + questions(1, "answers = [\"Moli\xC3\xA8re\"]\n"), "",
         Severity::Note, "quiz.toml", 3, 0, "question[1].answers", "\"Moliere\" grades \"Quasiment\""},
        {"an accented capital in a CSV cell", kCsv, "text;answer\r\nPays ?;\xC3\x89gypte\r\n",
         Severity::Warning, "questions.csv", 2, 8, "question[1].answer", "\"\xC3\xA9gypte\""},
        {"a blank at the end of a CSV cell", kCsv, "answer\r\n\"Paris \"\r\n",
         Severity::Warning, "questions.csv", 2, 1, "question[1].answer", "blank"},
        {"an empty accepted form", std::string(kText) + questions(1, "answers = [\"a||b\"]\n"), "",
         Severity::Warning, "quiz.toml", 3, 0, "question[1].answers", "accepted form 2 is empty"},
        {"a form that grades as another", std::string(kText) + questions(1, "answers = [\"Paris | paris\"]\n"), "",
         Severity::Warning, "quiz.toml", 3, 0, "question[1].answers", "form 2 \"paris\" grades as form 1 \"Paris\""},
        {"a form alike once accents are optional",
         std::string(kText) + "[grading]\naccents = \"optional\"\n" + questions(1, "answers = [\"\xC3\xA9t\xC3\xA9 | ete\"]\n"), "",
         Severity::Warning, "quiz.toml", 5, 0, "question[1].answers", "[grading] tolerances"},
        {"a form in a CSV cell", kCsv, "answer\r\nRome | | Roma\r\n",
         Severity::Warning, "questions.csv", 2, 1, "question[1].answer", "accepted form 2 is empty"},
        {"a straight quote phones type curly", std::string(kText) + questions(1, "answers = [\"l'avion\"]\n"), "",
         Severity::Note, "quiz.toml", 3, 0, "question[1].answers", "\"l\xE2\x80\x99" "avion\" grades \"Quasiment\""},
        {"a quiz key below [grading]", std::string(kText) + "[grading]\ncase = \"any\"\nlink = \"\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 4, 0, "grading.link", "belongs to that table and is ignored"},
        {"a link the header cuts off", std::string(kText) + "link = \"https://www.example.org/quiz\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "link", "its box holds 115"},
        {"a NUL in a column's name is shown, not printed", kCsv, std::string("answer;te\0xt\r\nParis;x\r\n", 19),
         Severity::Warning, "questions.csv", 1, 8, "te\\0xt", "unknown column 'te\\0xt', ignored"},

        // ---- missing pieces ----
        {"no title", std::string(kText) + questions(1), "",
         Severity::Warning, "quiz.toml", 0, 0, "title", "missing: the header shows no title"},
        {"an empty title", std::string(kText) + "title = \"\"\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "title", "is empty"},
        {"no codes", std::string(kText) + questions(2), "",
         Severity::Warning, "quiz.toml", 0, 0, "codes", "missing: the code box never shows a code"},
        {"an empty list of codes", std::string(kText) + "codes = []\n" + questions(2), "",
         Severity::Warning, "quiz.toml", 2, 0, "codes", "is empty"},
        {"fewer codes than questions", std::string(kText) + "codes = [\"a\", \"b\"]\n" + questions(3), "",
         Severity::Warning, "quiz.toml", 2, 0, "codes",
         "2 codes for 3 questions: the code box goes blank once more than 2 questions are solved"},
        {"one code for three questions", std::string(kText) + "codes = [\"a\"]\n" + questions(3), "",
         Severity::Warning, "quiz.toml", 2, 0, "codes",
         "1 code for 3 questions: the code box goes blank once more than 1 question is solved"},
        {"two codes for one question", std::string(kText) + "codes = [\"a\", \"b\"]\n" + questions(1), "",
         Severity::Warning, "quiz.toml", 2, 0, "codes", "2 codes for 1 question: code 2 is never shown"},
        {"an empty list of questions", std::string(kText) + "question = []\n", "",
         Severity::Warning, "quiz.toml", 2, 0, "question", "the quiz is empty"},
        {"a CSV file with only its header row", kCsv, "answer;text\r\n",
         Severity::Warning, "questions.csv", 1, 0, "", "the quiz is empty"},
    };
    // clang-format on
}

// In English, then in French, where the place is the same and the words the catalogue's.
TEST(QuizWarnings, EachIsReportedWhereTheAuthorWroteIt) {
    for (const WarningCase& c : warningCases()) {
        for (Language language : {Language::English, Language::French}) {
            setMessageLanguage(language);
            takeUntranslatedCount();
            TempFolder dir("warn");
            CheckResult result = checkFiles(dir, c.toml, c.csv);
            std::string untranslated;
            EXPECT_EQ(takeUntranslatedCount(&untranslated), 0) << c.name << ": " << untranslated;
            const bool english = language == Language::English;
            bool found = false;
            for (const Diagnostic& d : result.diagnostics) {
                found |= d.severity == c.severity && d.file == (dir / c.file).u8string() &&
                         d.line == c.line && d.column == c.column && d.key == c.key &&
                         (!english || d.message.find(c.messagePart) != std::string::npos);
            }

            EXPECT_TRUE(found) << c.name << ": expected " << c.file << ":" << c.line << ":"
                               << c.column << " key '" << c.key << "' with '" << c.messagePart
                               << "'; got:\n"
                               << describe(result.diagnostics);
            EXPECT_TRUE(result.ok()) << c.name << "\n" << describe(result.diagnostics);
        }
    }
    setMessageLanguage(Language::English);
}

TEST(QuizWarnings, NothingIsSaidOfWhatThePlayerNeverShows) {

    struct Row {
        const char* name;
        std::string toml;
        const char* messagePart; // no diagnostic may say this
    };
    const std::string wide = std::string(50, 'W');
    // clang-format off
    const Row rows[] = {
        {"labels of a one-answer quiz are never shown",
         std::string(kText) + "labels = [\"" + wide + "\", \"b\"]\n" + questions(1), "its box"},
        {"question texts of a picture quiz are not shown",
         "kind = \"picture\"\n" + questions(1, "answers = [\"a\"]\npicture = \"q.jpg\"\ntext = \"" + wide + "\"\n"), "its box"},
        {"codes past the last question are not stored",
         std::string(kText) + "codes = [\"a\", \"" + wide + "\"]\n" + questions(1), "its box"},
        {"a text with an error is not measured",
         std::string(kText) + "title = \"" + wide + "|\"\n" + questions(1), "its box"},
        {"a title that fits", std::string(kText) + "title = \"Les capitales du monde entier et\"\n" + questions(1), "its box"},
        {"a code per question", std::string(kText) + "codes = [\"a\", \"b\"]\n" + questions(2), "code box"},
        // What another form or a tolerance accepts is not pointed out.
        {"an accented capital with any case",
         std::string(kText) + "[grading]\ncase = \"any\"\n" + questions(1, "answers = [\"\xC3\x89gypte\"]\n"), "type small"},
        {"an accented letter with optional accents",
         std::string(kText) + "[grading]\naccents = \"optional\"\n" + questions(1, "answers = [\"Moli\xC3\xA8re\"]\n"), "exactly"},
        {"an accented letter with its plain form",
         std::string(kText) + questions(1, "answers = [\"Moli\xC3\xA8re | Moliere\"]\n"), "exactly"},
        {"a straight quote with any quotes",
         std::string(kText) + "[grading]\nquotes = \"any\"\n" + questions(1, "answers = [\"l'avion\"]\n"), "curly"},
        {"a short link", std::string(kText) + "link = \"http://ex.fr\"\n" + questions(1), "its box"},
    };
    // clang-format on
    for (const Row& row : rows) {
        TempFolder dir("quiet");
        CheckResult result = checkFiles(dir, row.toml, "");
        for (const Diagnostic& d : result.diagnostics) {
            EXPECT_EQ(d.message.find(row.messagePart), std::string::npos)
                << row.name << ": " << formatDiagnostic(d);
        }
    }
}

} // namespace
