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

void printGradeHelp(FILE* out) {
    fputs("Usage:\n"
          "  quizpack grade EXPECTED TYPED\n"
          "  quizpack grade --tsv FILE      (FILE '-' reads standard input)\n"
          "\n"
          "Grades a typed answer against an expected answer exactly as the quiz player does\n"
          "and prints the verdict: BRAVO, Anagramme, Quasiment, Presque, Trop long,\n"
          "Trop court, pas loin, yade lid\xC3\xA9"
          "e, FAUX or ? (nothing typed).\n"
          "\n"
          "Texts are UTF-8 and are graded as Windows-1252, the player's character set; a\n"
          "character that Windows-1252 lacks is an error. Blanks around the typed text and\n"
          "the case of the letters a-z do not count; accents do (e and \xC3\xA9 differ). Only\n"
          "the first 259 characters of the typed text are graded, as in the player; an\n"
          "expected answer holds at most 259 characters and no '|'.\n"
          "\n"
          "--tsv reads one case a line, EXPECTED<TAB>TYPED (CRLF line ends and a UTF-8 BOM\n"
          "are accepted), and prints one verdict a line in the same order. A malformed line\n"
          "is reported on standard error with its line number and prints ERROR in its\n"
          "place, so the output keeps one line per input line; the other lines are still\n"
          "graded.\n"
          "\n"
          "Exit codes: 0 all graded, 2 a bad argument or at least one malformed line.\n"
          "Use '--' before EXPECTED if it begins with '--'.\n",
          out);
}

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

int gradeOne(const char* expectedArg, const char* typedArg) {
    std::string expected;
    std::string typed;
    std::string message;
    size_t typedChars = 0;
    if (!prepareText(expectedArg, "expected answer (EXPECTED)", true, &expected, &message) ||
        !prepareText(typedArg, "typed text (TYPED)", false, &typed, &message, &typedChars)) {
        fprintf(stderr, "quizpack grade: %s\n", message.c_str());
        return kExitBadInput;
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

int gradeTsv(const char* path) {
    const bool useStdin = strcmp(path, "-") == 0;
    const std::string name = useStdin ? "<stdin>" : path;
    std::string data;
    if (useStdin) {
        if (!readAll(stdin, &data)) {
            fprintf(stderr, "quizpack grade: cannot read standard input: %s\n", strerror(errno));
            return kExitBadInput;
        }
    } else {
        FILE* in = fopen(path, "rb");
        if (in == nullptr) {
            fprintf(stderr, "quizpack grade: cannot open '%s': %s\n", path, strerror(errno));
            return kExitBadInput;
        }
        const bool ok = readAll(in, &data);
        const int readErrno = errno;
        fclose(in);
        if (!ok) {
            fprintf(stderr, "quizpack grade: cannot read '%s': %s\n", path, strerror(readErrno));
            return kExitBadInput;
        }
    }

    std::string_view rest = data;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") {
        rest.remove_prefix(3); // the byte-order mark Windows editors put in UTF-8 files
    }
    std::string out;
    out.reserve(rest.size() / 2 + 64);
    std::string expected;
    std::string typed;
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

        size_t tab = line.find('\t');
        bool ok = false;
        if (tab == std::string_view::npos) {
            message = line.empty() ? "empty line; expected EXPECTED<TAB>TYPED"
                                   : "no tab; expected EXPECTED<TAB>TYPED";
        } else if (line.find('\t', tab + 1) != std::string_view::npos) {
            message = "more than one tab; expected EXPECTED<TAB>TYPED (a text cannot hold "
                      "a tab here)";
        } else {
            ok = prepareText(line.substr(0, tab), "expected answer", true, &expected, &message) &&
                 prepareText(line.substr(tab + 1), "typed text", false, &typed, &message);
        }
        if (ok) {
            out += verdictUtf8(gradeText(expected.c_str(), typed.c_str()));
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
        fprintf(stderr, "quizpack grade: cannot write the verdicts: %s\n", strerror(errno));
        return kExitBadInput;
    }
    if (malformed > 0) {
        fprintf(stderr, "quizpack grade: %zu of %zu lines malformed (ERROR in the output)\n",
                malformed, lineNumber);
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace

int runGrade(int argc, char** argv) {
    if (argc >= 1 && (strcmp(argv[0], "--help") == 0 || strcmp(argv[0], "-h") == 0)) {
        printGradeHelp(stdout);
        return kExitOk;
    }
    if (argc >= 1 && strcmp(argv[0], "--tsv") == 0) {
        if (argc != 2) {
            fprintf(stderr, "quizpack grade: --tsv takes one file name (or '-' for standard "
                            "input)\n\n");
            printGradeHelp(stderr);
            return kExitBadInput;
        }
        return gradeTsv(argv[1]);
    }
    if (argc >= 1 && strcmp(argv[0], "--") == 0) {
        --argc;
        ++argv;
    } else if (argc >= 1 && strncmp(argv[0], "--", 2) == 0) {
        fprintf(stderr,
                "quizpack grade: unknown option '%s' (use '--' before an answer "
                "that begins with '--')\n\n",
                argv[0]);
        printGradeHelp(stderr);
        return kExitBadInput;
    }
    if (argc != 2) {
        fprintf(stderr, "quizpack grade: expected two texts, EXPECTED and TYPED, got %d\n\n", argc);
        printGradeHelp(stderr);
        return kExitBadInput;
    }
    return gradeOne(argv[0], argv[1]);
}
