#include <string>

#include "content/grading_extras.h"
#include "content/lzw.h"
#include "content/package.h"
#include "quizpack/common/closest_name.h"
#include "quizpack/common/output_names.h"
#include "quizpack/description/description_checker.h"
#include "quizpack/common/messages.h"

namespace {

// The line of the question whose other forms take "PATCH" 106 over the packer's limit: the
// bytes each answer adds there are its field index, its count and each form with its "|".
int firstQuestionOverLimit(const Description& d) {
    size_t size = 4 + d.link.size() + 1;
    for (const QuestionEntry& q : d.questions) {
        for (const std::string* answer : {&q.answer1, &q.answer2}) {
            size_t bar = answer->find('|');
            if (bar != std::string::npos) {
                size += 2 + answer->size() - bar;
            }
        }
        if (size > static_cast<size_t>(kLzwMaxInput)) {
            return q.line;
        }
    }
    return 0;
}

} // namespace

void DescriptionChecker::crossCheck(const toml::table& root) {
    size_t n = d_.questions.size();
    if (codesGiven_ > n) {
        const MessageArguments arguments = {
            {"codes", codesGiven_}, {"questions", n}, {"first", n + 1}};
        warning(codesLine_, "codes",
                codesGiven_ == n + 1
                    ? trn("{codes} codes for {n} question: code {first} is never shown and not "
                          "stored",
                          "{codes} codes for {n} questions: code {first} is never shown and not "
                          "stored",
                          n, arguments)
                    : trn("{codes} codes for {n} question: codes {first} to {codes} are never "
                          "shown and not stored",
                          "{codes} codes for {n} questions: codes {first} to {codes} are never "
                          "shown and not stored",
                          n, arguments),
                tr("give at most one code per question"));
        d_.codes.resize(n);
    }
    for (size_t i = 0; i < d_.codes.size(); ++i) {
        std::optional<FitProblem> problem = textFitProblem(d_.codes[i], codeBox());
        if (codeLines_[i] > 0 && problem) {
            warning(codeLines_[i], codeKey(i),
                    tr("{what} {problem}", {{"what", codeName(i)}, {"problem", problem->message}}),
                    problem->hint);
        }
    }
    if (!kindKnown_ || !answerCountKnown_ || !revealKnown_) {
        return;
    }
    if (d_.answersPerQuestion == 1 && (!d_.answerLabel1.empty() || !d_.answerLabel2.empty())) {
        warning(labelsLine_, "labels",
                tr("the answer labels are shown only with answers_per_question = 2; they are "
                   "stored but never shown"),
                tr("remove labels, or ask for two answers per question"));
    }
    if (d_.quizType != QUIZ_PICTURE && d_.revealMode != REVEAL_NOTHING) {
        const toml::node* node = root.get("reveal");
        warning(node ? lineOf(*node) : 0, "reveal",
                tr("a quiz of kind = {kind} reveals nothing: the player has reveal texts and "
                   "pictures only in picture quizzes",
                   {{"kind", inQuotes(quizKindName(d_.quizType))}}),
                tr("set reveal = \"none\", or kind = \"picture\""));
    }
    if (d_.quizType != QUIZ_TEXT && questionTexts_ > 0) {
        size_t withText = questionTexts_;
        setSource(firstQuestionText_.source);
        warning(firstQuestionText_.line, firstQuestionText_.key,
                trn("question texts are shown only in text quizzes; {n} question has one, stored "
                    "but never shown in this {kind} quiz",
                    "question texts are shown only in text quizzes; {n} questions have one, "
                    "stored but never shown in this {kind} quiz",
                    withText, {{"kind", quizKindName(d_.quizType)}}),
                tr("remove the text keys, or set kind = \"text\""));
        setSource({});
    }
}

// What the player shows empty, with no error: no title, no codes or too few.
void DescriptionChecker::warnMissingPieces(const toml::table& root) {
    const toml::node* title = root.get("title");
    if (title == nullptr || (title->as_string() && title->as_string()->get().empty())) {
        const toml::node* node = title;
        warning(node ? lineOf(*node) : 0, "title",
                node ? tr("is empty: the header shows no title and the window no caption")
                     : tr("missing: the header shows no title and the window no caption"),
                tr("add a line title = \"...\", the quiz's name"));
    }
    // build names the executable after the title, else after the description: quiz.exe,
    // whose answers file quiz.txt every other quiz.exe started from the same folder shares.
    const std::string exe =
        defaultOutputPath(std::filesystem::u8path(d_.file), d_.title, ".exe").filename().u8string();
    if (sameNameIgnoringCase(exe, "quiz.exe")) {
        note(title ? lineOf(*title) : 0, "title",
             tr("build will name the executable {exe}, and every quiz.exe started from one "
                "folder keeps its answers in the same quiz.txt: two such quizzes overwrite each "
                "other's answers",
                {{"exe", exe}}),
             tr("give the quiz a title of its own (build names the executable after it), or "
                "build with -o NAME.exe"));
    }
    size_t n = d_.questions.size();
    if (n > 0 && codesGiven_ == 0) {
        warning(codesLine_, "codes",
                codesLine_ > 0 ? tr("is empty: the code box never shows a code, whatever the score")
                               : tr("missing: the code box never shows a code, whatever the score"),
                tr("add codes = [\"code for 1 solved\", \"code for 2 solved\", ...], one per "
                   "question"));
    } else if (codesGiven_ > 0 && codesGiven_ < n) {
        warning(codesLine_, "codes",
                trn("{n} code for {questions} questions: the code box goes blank once more than "
                    "{n} question is solved",
                    "{n} codes for {questions} questions: the code box goes blank once more "
                    "than {n} questions are solved",
                    codesGiven_, {{"questions", n}}),
                tr("add {count} more, one code per question", {{"count", n - codesGiven_}}));
    }
}

// The packer takes at most 65535 bytes; a quiz with 90 long questions can exceed it, and so
// can the other forms of its answers, which "PATCH" 106 holds apart.
void DescriptionChecker::checkPackageSize(const toml::table& root) {
    QuizPtr quiz = makeQuiz(d_);
    const toml::node* node = root.get("question");
    node = node ? node : root.get("questions");
    const int line = node ? lineOf(*node) : 0;
    size_t size = layOutPackage(*quiz).size();
    if (size > static_cast<size_t>(kLzwMaxInput)) {
        error(line, "question",
              tr("the quiz package would be {size} bytes; it can be at most {most}",
                 {{"size", size}, {"most", kLzwMaxInput}}),
              tr("shorten the texts by {count} bytes in all, or make two quizzes",
                 {{"count", size - kLzwMaxInput}}));
    }
    size_t extras = layOutGradingExtras(*quiz).size();
    if (extras > static_cast<size_t>(kLzwMaxInput)) {
        error(firstQuestionOverLimit(d_), "question",
              tr("the answers' accepted forms beyond the first would take {size} bytes; they "
                 "can take at most {most}, and go over from this question on",
                 {{"size", extras}, {"most", kLzwMaxInput}}),
              tr("drop {count} bytes of forms in all (the ones players are least likely to type)",
                 {{"count", extras - kLzwMaxInput}}));
    }
}
