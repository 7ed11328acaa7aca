// quizpack grade: grades typed answers exactly as the player does (checking/grader.h), against
// expected answers given on the command line or in a file, or against the fields of a quiz,
// with UTF-8 in and out and Windows-1252 in between.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "checking/grader.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/quiz_grading.h"
#include "quizpack/description/description.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxText = 259;               // the player's texts hold 259 characters
constexpr const char kErrorMarker[] = "ERROR"; // printed in place of a verdict

// The verdict words in UTF-8, made once (gradeAnswer returns one of these ten pointers).
const std::string& verdictUtf8(const char* verdict) {
    static const char* const kWords[] = {
        kVerdictBravo,    kVerdictAnagram, kVerdictAlmost,  kVerdictNearly, kVerdictTooLong,
        kVerdictTooShort, kVerdictNotFar,  kVerdictSimilar, kVerdictWrong,  kVerdictEmpty,
    };
    static std::string utf8[10];
    for (int i = 0; i < 10; ++i) {
        if (kWords[i] == verdict) {
            if (utf8[i].empty()) {
                utf8[i] = cp1252ToUtf8(verdict);
            }
            return utf8[i];
        }
    }
    static std::string other;
    other = cp1252ToUtf8(verdict);
    return other;
}

// Converts one text to Windows-1252; false with *message ("typed text: character 3 ...")
// when a character has no Windows-1252 byte or is NUL.
bool toCp1252(std::string_view utf8, const std::string& what, std::string* out,
              std::string* message) {
    Cp1252Error error;
    if (!utf8ToCp1252(utf8, out, &error)) {
        *message =
            tr("{what}: {problem}", {{"what", what}, {"problem", describeCp1252Error(error)}});
        return false;
    }
    size_t nul = out->find('\0');
    if (nul != std::string::npos) {
        *message = tr("{what}: character {position} is a NUL character, which a text cannot hold",
                      {{"what", what}, {"position", nul + 1}});
        return false;
    }
    return true;
}

// An expected answer as a quiz holds it: "A | B" gives the forms A and B, blanks around each
// removed and empty ones left out; a text without "|" is one form, as written.
struct Expected {
    std::vector<std::string> forms;
    std::vector<const char*> pointers() const {
        std::vector<const char*> p;
        for (const std::string& f : forms) {
            p.push_back(f.c_str());
        }
        return p;
    }
};

bool prepareExpected(std::string_view utf8, const char* what, Expected* expected,
                     std::string* message) {
    std::string text;
    if (!toCp1252(utf8, what, &text, message)) {
        return false;
    }
    expected->forms.clear();
    if (text.find('|') == std::string::npos) {
        expected->forms.push_back(text);
    } else {
        for (size_t start = 0; start <= text.size();) {
            size_t end = std::min(text.find('|', start), text.size());
            size_t first = text.find_first_not_of(' ', start);
            if (first < end) {
                expected->forms.push_back(
                    text.substr(first, text.find_last_not_of(' ', end - 1) + 1 - first));
            }
            start = end + 1;
        }
        if (expected->forms.empty()) {
            expected->forms.push_back("");
        }
    }
    for (size_t i = 0; i < expected->forms.size(); ++i) {
        if (expected->forms[i].size() > kMaxText) {
            const MessageArguments arguments = {
                {"what", what}, {"form", i + 1}, {"count", expected->forms[i].size()}};
            *message = expected->forms.size() > 1
                           ? tr("{what} (form {form}) has {count} characters; a quiz answer "
                                "holds at most 259",
                                arguments)
                           : tr("{what} has {count} characters; a quiz answer holds at most 259",
                                arguments);
            return false;
        }
    }
    if (expected->forms.size() > static_cast<size_t>(kMaxAnswerForms)) {
        *message =
            tr("{what} has {count} forms; a quiz answer has at most {most}",
               {{"what", what}, {"count", expected->forms.size()}, {"most", kMaxAnswerForms}});
        return false;
    }
    return true;
}

// A typed text, cut to the 259 characters the player's field passes on; *fullLength, when
// given, receives its length before the cut.
bool prepareTyped(std::string_view utf8, const char* what, std::string* typed, std::string* message,
                  size_t* fullLength = nullptr) {
    if (!toCp1252(utf8, what, typed, message)) {
        return false;
    }
    if (fullLength != nullptr) {
        *fullLength = typed->size();
    }
    if (typed->size() > kMaxText) {
        typed->resize(kMaxText);
    }
    return true;
}

const char* grade(const Expected& expected, const std::string& typed, uint32_t tolerances) {
    std::vector<const char*> forms = expected.pointers();
    return gradeAnswer(forms.data(), static_cast<int>(forms.size()), typed.c_str(), tolerances);
}

// ---- the command's words -----------------------------------------------------------------

struct GradeRequest {
    std::vector<std::string> texts; // EXPECTED and TYPED
    bool tsv = false;
    std::string tsvFile;
    bool quiz = false;
    std::string quizFile;
    uint32_t tolerances = 0;
    bool tolerancesGiven = false;
};

// --accents, --case and --quotes, each with its two values, the first the exact grading.
struct ToleranceOption {
    const char* name;
    const char* exact;
    const char* tolerant;
    uint32_t tolerance;
};
const ToleranceOption kToleranceOptions[] = {
    {"--accents", "required", "optional", TOLERATE_ACCENTS},
    {"--case", "a-z", "any", TOLERATE_CASE},
    {"--quotes", "exact", "any", TOLERATE_QUOTES},
};

// Options anywhere; "--" makes every later word a text, even one that begins with "--".
GradeRequest readRequest(const std::vector<std::string>& words) {
    GradeRequest request;
    bool textsOnly = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!textsOnly && word == "--") {
            textsOnly = true;
            continue;
        }
        if (textsOnly || word.compare(0, 2, "--") != 0) {
            request.texts.push_back(word);
            continue;
        }
        const bool hasValue = i + 1 < words.size();
        if (word == "--tsv" || word == "--quiz") {
            if (!hasValue) {
                throw usageMistake(word == "--tsv"
                                       ? tr("--tsv takes one file name (or '-' for standard input)")
                                       : tr("--quiz takes a quiz description or executable"));
            }
            (word == "--tsv" ? request.tsv : request.quiz) = true;
            (word == "--tsv" ? request.tsvFile : request.quizFile) = words[++i];
            continue;
        }
        const ToleranceOption* option = nullptr;
        for (const ToleranceOption& o : kToleranceOptions) {
            option = word == o.name ? &o : option;
        }
        if (option == nullptr) {
            throw usageMistake(tr("unknown option '{option}' (use '--' before an answer that "
                                  "begins with '--')",
                                  {{"option", excerpt(word)}}));
        }
        const std::string value = hasValue ? words[++i] : "";
        if (value != option->exact && value != option->tolerant) {
            const MessageArguments arguments = {{"option", word},
                                                {"tolerant", option->tolerant},
                                                {"exact", option->exact},
                                                {"value", excerpt(value)}};
            throw usageMistake(
                hasValue ? tr("{option} takes {tolerant} or {exact}, not '{value}'", arguments)
                         : tr("{option} takes {tolerant} or {exact}", arguments));
        }
        request.tolerancesGiven = true;
        if (value == option->tolerant) {
            request.tolerances |= option->tolerance;
        }
    }
    return request;
}

// ---- one pair ----------------------------------------------------------------------------

int gradeOne(const std::string& expectedArg, const std::string& typedArg, uint32_t tolerances) {
    Expected expected;
    std::string typed;
    std::string message;
    size_t typedChars = 0;
    if (!prepareExpected(expectedArg, tr("expected answer (EXPECTED)"), &expected, &message) ||
        !prepareTyped(typedArg, tr("typed text (TYPED)"), &typed, &message, &typedChars)) {
        throw QuizpackError(kExitBadInput, message);
    }
    if (typedChars > kMaxText) {
        fputs(tr("quizpack grade: note: the typed text has {count} characters; only the first "
                 "259 are graded, as in the player\n",
                 {{"count", typedChars}})
                  .c_str(),
              stderr);
    }
    const std::string& single = expected.forms.front();
    if (expected.forms.size() == 1 && !single.empty() &&
        (single.front() == ' ' || single.back() == ' ')) {
        fputs(single.front() == ' '
                  ? tr("quizpack grade: note: the expected answer begins with a blank; the player "
                       "never trims expected answers, so it can never be BRAVO\n")
                  : tr("quizpack grade: note: the expected answer ends with a blank; the player "
                       "never trims expected answers, so it can never be BRAVO\n"),
              stderr);
    }
    const std::string& verdict = verdictUtf8(grade(expected, typed, tolerances));
    fwrite(verdict.data(), 1, verdict.size(), stdout);
    fputc('\n', stdout);
    return fflush(stdout) == 0 ? kExitOk : kExitBadInput;
}

// ---- lines of a file ---------------------------------------------------------------------

// The longest line --tsv reads: far more than a line needs (eight forms and a typed text of
// 259 characters each, at most 3 UTF-8 bytes apiece), and little enough that a stream
// without line ends (/dev/zero, a binary file) stops at once instead of filling memory.
constexpr size_t kMaxTsvLineBytes = 64 * 1024;

// The file, or standard input for "-"; closed with the reading.
class TsvInput {
  public:
    explicit TsvInput(const std::string& path)
        : name_(path == "-" ? std::string("<stdin>") : excerpt(path, kPathExcerptCharacters)),
          file_(path == "-" ? stdin : fopen(path.c_str(), "rb")) {
        if (file_ == nullptr) {
            const int openErrno = errno;
            throw QuizpackError(kExitBadInput,
                                tr("cannot open '{file}': {reason}",
                                   {{"file", name_}, {"reason", strerror(openErrno)}}));
        }
    }
    ~TsvInput() {
        if (file_ != stdin) {
            fclose(file_);
        }
    }
    TsvInput(const TsvInput&) = delete;
    TsvInput& operator=(const TsvInput&) = delete;
    FILE* file() const { return file_; }
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    FILE* file_;
};

// The verdict of one line, or false with *message when it is malformed.
using LineGrader =
    std::function<bool(std::string_view line, std::string* verdict, std::string* message)>;

// The two tab-separated parts of a line; false with *message unless there is one tab.
bool splitAtTab(std::string_view line, const char* form, std::string_view* first,
                std::string_view* second, std::string* message) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        *message = line.empty() ? tr("empty line; expected {form}", {{"form", form}})
                                : tr("no tab; expected {form}", {{"form", form}});
        return false;
    }
    if (line.find('\t', tab + 1) != std::string_view::npos) {
        *message = tr("more than one tab; expected {form} (a text cannot hold a tab here)",
                      {{"form", form}});
        return false;
    }
    *first = line.substr(0, tab);
    *second = line.substr(tab + 1);
    return true;
}

// EXPECTED<TAB>TYPED, graded with the command's tolerances.
LineGrader expectedAndTyped(uint32_t tolerances) {
    return [tolerances](std::string_view line, std::string* verdict, std::string* message) {
        std::string_view expectedText, typedText;
        Expected expected;
        std::string typed;
        if (!splitAtTab(line, "EXPECTED<TAB>TYPED", &expectedText, &typedText, message) ||
            !prepareExpected(expectedText, tr("expected answer"), &expected, message) ||
            !prepareTyped(typedText, tr("typed text"), &typed, message)) {
            return false;
        }
        *verdict = verdictUtf8(grade(expected, typed, tolerances));
        return true;
    };
}

// K<TAB>TYPED, graded as `quiz` grades its field K.
LineGrader fieldAndTyped(const Quiz* quiz) {
    return [quiz](std::string_view line, std::string* verdict, std::string* message) {
        std::string_view index, typedText;
        if (!splitAtTab(line, tr("K<TAB>TYPED (K the answer field, from 1)"), &index, &typedText,
                        message)) {
            return false;
        }
        const int perQuestion = quiz->answersPerQuestion == 2 ? 2 : 1;
        const int fields = perQuestion * quiz->questionCount;
        int k = 0;
        bool number = !index.empty() && index.size() <= 3;
        for (char c : index) {
            number = number && c >= '0' && c <= '9';
            k = k * 10 + (c - '0');
        }
        if (!number || k < 1 || k > fields) {
            *message = tr("'{k}' is not an answer field of this quiz: K goes from 1 to {fields} "
                          "(question by question, answer 1 before answer 2)",
                          {{"k", excerpt(index)}, {"fields", fields}});
            return false;
        }
        std::string typed;
        if (!prepareTyped(typedText, tr("typed text"), &typed, message)) {
            return false;
        }
        *verdict = verdictUtf8(
            gradeQuizAnswer(quiz, (k - 1) / perQuestion, (k - 1) % perQuestion + 1, typed.c_str()));
        return true;
    };
}

void writeVerdicts() {
    if (fflush(stdout) != 0) {
        const int writeErrno = errno;
        throw QuizpackError(kExitBadInput, tr("cannot write the verdicts: {reason}",
                                              {{"reason", strerror(writeErrno)}}));
    }
}

// Line by line, so that any length of input takes the memory of one line.
int gradeTsv(const std::string& path, const LineGrader& gradeLine, const char* form) {
    TsvInput input(path);
    const std::string& name = input.name();
    LineReader lines(input.file(), kMaxTsvLineBytes);
    std::string line;
    std::string verdict;
    std::string message;
    size_t lineNumber = 0;
    size_t malformed = 0;
    for (LineRead read; (read = lines.next(&line)) != LineRead::End;) {
        ++lineNumber;
        if (read == LineRead::Failed) {
            const int readErrno = errno;
            writeVerdicts();
            throw QuizpackError(kExitBadInput,
                                tr("cannot read '{file}': {reason}",
                                   {{"file", name}, {"reason", strerror(readErrno)}}));
        }
        if (read == LineRead::TooLong) {
            writeVerdicts();
            throw QuizpackError(kExitBadInput,
                                tr("{file}:{line}: no line end in {most} bytes; --tsv reads a "
                                   "text file of {form} lines, and stops here (the lines before "
                                   "are graded)",
                                   {{"file", name},
                                    {"line", lineNumber},
                                    {"most", kMaxTsvLineBytes},
                                    {"form", form}}));
        }
        std::string_view text = line;
        if (lineNumber == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") {
            text.remove_prefix(3); // the byte-order mark Windows editors put in UTF-8 files
        }
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        if (gradeLine(text, &verdict, &message)) {
            fwrite(verdict.data(), 1, verdict.size(), stdout);
        } else {
            ++malformed;
            fputs(tr("quizpack grade: {file}:{line}: {message}\n",
                     {{"file", name}, {"line", lineNumber}, {"message", message}})
                      .c_str(),
                  stderr);

            fputs(kErrorMarker, stdout);
        }
        fputc('\n', stdout);
    }
    writeVerdicts();
    if (malformed > 0) {
        throw QuizpackError(kExitBadInput,
                            trn("{malformed} of {n} line malformed (ERROR in the output)",
                                "{malformed} of {n} lines malformed (ERROR in the output)",
                                lineNumber, {{"malformed", malformed}}));
    }
    return kExitOk;
}

// ---- a quiz to grade against -------------------------------------------------------------

// A quiz executable read as inspect reads it, or a description checked as build checks it.
QuizPtr readQuizToGrade(const std::string& argument) {
    const fs::path path = pathFromArgument(argument);
    if (startsLikeExecutable(path)) {
        QuizReading reading = readQuizExecutable(readWholeFile(path), displayPath(path));
        for (const std::string& w : reading.warnings) {
            fputs(tr("quizpack grade: warning: {message}\n", {{"message", w}}).c_str(), stderr);
        }
        if (reading.malformed) {
            throw QuizpackError(kExitBadInput,
                                tr("{file} holds no well-formed quiz package; quizpack inspect "
                                   "shows what is wrong",
                                   {{"file", reading.source}}));
        }
        return std::move(reading.quiz);
    }
    CheckResult result = checkDescriptionFile(path, PictureDecoding::HeaderOnly);
    if (!result.ok()) {
        std::vector<Diagnostic> errors;
        for (const Diagnostic& d : result.diagnostics) {
            if (d.severity == Severity::Error) {
                errors.push_back(d);
            }
        }
        printDiagnostics(errors);
        throw QuizpackError(kExitBadInput,
                            tr("{file}: {summary}; 'quizpack check' lists them; nothing graded",
                               {{"file", displayPath(path)},
                                {"summary", summarizeDiagnostics(result.diagnostics)}}));
    }
    return makeQuiz(result.description);
}

} // namespace

int runGrade(const CommandArguments& args) {
    const GradeRequest request = readRequest(args.positional);
    if (request.quiz) {
        if (!request.tsv || !request.texts.empty()) {
            throw usageMistake(tr("--quiz grades the lines of --tsv FILE (K<TAB>TYPED); give "
                                  "--tsv and no other text"));
        }
        if (request.tolerancesGiven) {
            throw usageMistake(tr("--quiz grades with the quiz's own [grading]; leave out "
                                  "--accents, --case and --quotes"));
        }
        const QuizPtr quiz = readQuizToGrade(request.quizFile);
        return gradeTsv(request.tsvFile, fieldAndTyped(quiz.get()), "K<TAB>TYPED");
    }
    if (request.tsv) {
        if (!request.texts.empty()) {
            throw usageMistake(tr("--tsv reads its answers from the file; give no other text"));
        }
        return gradeTsv(request.tsvFile, expectedAndTyped(request.tolerances),
                        "EXPECTED<TAB>TYPED");
    }
    if (request.texts.size() != 2) {
        throw usageMistake(tr("expected two texts, EXPECTED and TYPED, got {count}",
                              {{"count", request.texts.size()}}));
    }
    return gradeOne(request.texts[0], request.texts[1], request.tolerances);
}
