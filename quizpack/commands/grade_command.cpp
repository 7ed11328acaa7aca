// quizpack grade: grades typed answers against expected answers exactly as the player does
// (checking/grader.h), with UTF-8 in and out and Windows-1252 in between.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "checking/grader.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/input_limits.h"

namespace {

constexpr size_t kMaxText = 259;               // the player's texts hold 259 characters
constexpr const char kErrorMarker[] = "ERROR"; // printed in place of a verdict

// The verdict words in UTF-8, made once (gradeText returns one of these ten pointers).
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

// Converts one text to Windows-1252 and checks it against what the player can hold. On
// failure *message says why ("typed text: character 3 ..."). A typed text is cut to 259
// characters; *fullLength, when given, receives its length before the cut.
bool prepareText(std::string_view utf8, const char* what, bool isExpected, std::string* out,
                 std::string* message, size_t* fullLength = nullptr) {
    Cp1252Error error;
    if (!utf8ToCp1252(utf8, out, &error)) {
        *message = std::string(what) + ": " + describeCp1252Error(error);
        return false;
    }
    size_t nul = out->find('\0');
    if (nul != std::string::npos) {
        *message = std::string(what) + ": character " + std::to_string(nul + 1) +
                   " is a NUL character, which a text cannot hold";
        return false;
    }
    if (isExpected) {
        if (out->size() > kMaxText) {
            *message = std::string(what) + " has " + std::to_string(out->size()) +
                       " characters; a quiz answer holds at most 259";
            return false;
        }
        size_t bar = out->find('|');
        if (bar != std::string::npos) {
            *message = std::string(what) + ": character " + std::to_string(bar + 1) +
                       " is '|', which a quiz answer cannot hold";
            return false;
        }
    }
    if (fullLength != nullptr) {
        *fullLength = out->size();
    }
    if (!isExpected && out->size() > kMaxText) {
        out->resize(kMaxText); // the player's field passes on its first 259 characters
    }
    return true;
}

int gradeOne(const std::string& expectedArg, const std::string& typedArg) {
    std::string expected;
    std::string typed;
    std::string message;
    size_t typedChars = 0;
    if (!prepareText(expectedArg, "expected answer (EXPECTED)", true, &expected, &message) ||
        !prepareText(typedArg, "typed text (TYPED)", false, &typed, &message, &typedChars)) {
        throw QuizpackError(kExitBadInput, message);
    }
    if (typedChars > kMaxText) {
        fprintf(stderr,
                "quizpack grade: note: the typed text has %zu characters; only the first "
                "259 are graded, as in the player\n",
                typedChars);
    }
    if (!expected.empty() && (expected.front() == ' ' || expected.back() == ' ')) {
        fprintf(stderr,
                "quizpack grade: note: the expected answer %s with a blank; the player "
                "never trims expected answers, so it can never be BRAVO\n",
                expected.front() == ' ' ? "begins" : "ends");
    }
    const std::string& verdict = verdictUtf8(gradeText(expected.c_str(), typed.c_str()));
    fwrite(verdict.data(), 1, verdict.size(), stdout);
    fputc('\n', stdout);
    return fflush(stdout) == 0 ? kExitOk : kExitBadInput;
}

// The longest line --tsv reads: far more than EXPECTED<TAB>TYPED needs (259 characters
// each, at most 3 UTF-8 bytes apiece), and little enough that a stream without line ends
// (/dev/zero, a binary file) stops at once instead of filling memory.
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
                                "cannot open '" + name_ + "': " + std::string(strerror(openErrno)));
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

// The verdict of one EXPECTED<TAB>TYPED line; false with *message when it is malformed.
bool gradeLine(std::string_view line, std::string* verdict, std::string* message) {
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        *message = line.empty() ? "empty line; expected EXPECTED<TAB>TYPED"
                                : "no tab; expected EXPECTED<TAB>TYPED";
        return false;
    }
    if (line.find('\t', tab + 1) != std::string_view::npos) {
        *message = "more than one tab; expected EXPECTED<TAB>TYPED (a text cannot hold "
                   "a tab here)";
        return false;
    }
    std::string expected;
    std::string typed;
    if (!prepareText(line.substr(0, tab), "expected answer", true, &expected, message) ||
        !prepareText(line.substr(tab + 1), "typed text", false, &typed, message)) {
        return false;
    }
    *verdict = verdictUtf8(gradeText(expected.c_str(), typed.c_str()));
    return true;
}

void writeVerdicts() {
    if (fflush(stdout) != 0) {
        const int writeErrno = errno;
        throw QuizpackError(kExitBadInput,
                            std::string("cannot write the verdicts: ") + strerror(writeErrno));
    }
}

// Line by line, so that any length of input takes the memory of one line.
int gradeTsv(const std::string& path) {
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
                                "cannot read '" + name + "': " + std::string(strerror(readErrno)));
        }
        if (read == LineRead::TooLong) {
            writeVerdicts();
            throw QuizpackError(kExitBadInput,
                                name + ":" + std::to_string(lineNumber) + ": no line end in " +
                                    std::to_string(kMaxTsvLineBytes) +
                                    " bytes; --tsv reads a text file of EXPECTED<TAB>TYPED "
                                    "lines, and stops here (the lines before are graded)");
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
            fprintf(stderr, "quizpack grade: %s:%zu: %s\n", name.c_str(), lineNumber,
                    message.c_str());
            fputs(kErrorMarker, stdout);
        }
        fputc('\n', stdout);
    }
    writeVerdicts();
    if (malformed > 0) {
        throw QuizpackError(kExitBadInput, std::to_string(malformed) + " of " +
                                               std::to_string(lineNumber) +
                                               " lines malformed (ERROR in the output)");
    }
    return kExitOk;
}

} // namespace

int runGrade(const CommandArguments& args) {
    const std::vector<std::string>& words = args.positional;
    if (!words.empty() && words[0] == "--tsv") {
        if (words.size() != 2) {
            throw usageMistake("--tsv takes one file name (or '-' for standard input)");
        }
        return gradeTsv(words[1]);
    }
    size_t first = 0;
    if (!words.empty() && words[0] == "--") {
        first = 1;
    } else if (!words.empty() && words[0].compare(0, 2, "--") == 0) {
        throw usageMistake("unknown option '" + excerpt(words[0]) +
                           "' (use '--' before an answer that begins with '--')");
    }
    if (words.size() - first != 2) {
        throw usageMistake("expected two texts, EXPECTED and TYPED, got " +
                           std::to_string(words.size() - first));
    }
    return gradeOne(words[first], words[first + 1]);
}
