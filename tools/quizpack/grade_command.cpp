// quizpack grade: grades typed answers against expected answers exactly as the player does
// (checking/grader.h), with UTF-8 in and out and Windows-1252 in between.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "checking/grader.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/cp1252.h"

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

bool readAll(FILE* in, std::string* data) {
    char chunk[1 << 16];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, in)) > 0) {
        data->append(chunk, n);
    }
    return !ferror(in);
}

// The whole of the file, or of standard input for "-".
std::string readTsvInput(const std::string& path) {
    std::string data;
    if (path == "-") {
        if (!readAll(stdin, &data)) {
            const int readErrno = errno;
            throw QuizpackError(kExitBadInput,
                                std::string("cannot read standard input: ") + strerror(readErrno));
        }
        return data;
    }
    FILE* in = fopen(path.c_str(), "rb");
    if (in == nullptr) {
        const int openErrno = errno;
        throw QuizpackError(kExitBadInput,
                            "cannot open '" + path + "': " + std::string(strerror(openErrno)));
    }
    const bool ok = readAll(in, &data);
    const int readErrno = errno;
    fclose(in);
    if (!ok) {
        throw QuizpackError(kExitBadInput,
                            "cannot read '" + path + "': " + std::string(strerror(readErrno)));
    }
    return data;
}

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

int gradeTsv(const std::string& path) {
    const std::string name = path == "-" ? "<stdin>" : path;
    const std::string data = readTsvInput(path);
    std::string_view rest = data;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3); // the byte-order mark Windows editors put in UTF-8 files
    }
    std::string out;
    out.reserve(rest.size() / 2 + 64);
    std::string verdict;
    std::string message;
    size_t lineNumber = 0;
    size_t malformed = 0;
    while (!rest.empty()) {
        ++lineNumber;
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (gradeLine(line, &verdict, &message)) {
            out += verdict;
        } else {
            ++malformed;
            fprintf(stderr, "quizpack grade: %s:%zu: %s\n", name.c_str(), lineNumber,
                    message.c_str());
            out += kErrorMarker;
        }
        out += '\n';
    }
    fwrite(out.data(), 1, out.size(), stdout);
    if (fflush(stdout) != 0) {
        const int writeErrno = errno;
        throw QuizpackError(kExitBadInput,
                            std::string("cannot write the verdicts: ") + strerror(writeErrno));
    }
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
        throw usageMistake("unknown option '" + words[0] +
                           "' (use '--' before an answer that begins with '--')");
    }
    if (words.size() - first != 2) {
        throw usageMistake("expected two texts, EXPECTED and TYPED, got " +
                           std::to_string(words.size() - first));
    }
    return gradeOne(words[first], words[first + 1]);
}
