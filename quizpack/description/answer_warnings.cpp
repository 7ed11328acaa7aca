#include "quizpack/description/answer_warnings.h"

#include "checking/grader.h"
#include "content/quiz.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/messages.h"
#include "quizpack/common/quiz_grading.h"

namespace {

// The answers file's mark for an empty field.
constexpr char kEmptyFieldLine[] = "*";

// Windows-1252 capitals outside A to Z and their small letters: Š Œ Ž Ÿ and À to Þ but ×.
unsigned char smallOf(unsigned char c) {
    switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(c + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? static_cast<unsigned char>(c + 0x20) : 0;
    }
}

// What players who leave accents out type for a small accented letter; null for others.
const char* withoutAccent(unsigned char c) {
    const bool smallAccented =
        c == 0x9A || c == 0x9C || c == 0x9E || c == 0xDF || (c >= 0xE0 && c != 0xF7);
    return smallAccented ? asciiSpelling(c).data() : nullptr; // spellings end in a NUL
}

std::string quoted(const std::string& cp1252) {
    return "\"" + cp1252ToUtf8(cp1252) + "\"";
}

// The first character of `answer` that `test` picks, or 0.
template <typename Test> unsigned char firstWhere(const std::string& answer, Test test) {
    for (char c : answer) {
        if (test(static_cast<unsigned char>(c))) {
            return static_cast<unsigned char>(c);
        }
    }
    return 0;
}

// The verdict of `typed` against every form, as the player grades it.
std::string verdictOf(const std::vector<std::string>& forms, const std::string& typed,
                      uint32_t tolerances) {
    std::vector<const char*> pointers;
    for (const std::string& f : forms) {
        pointers.push_back(f.c_str());
    }
    std::lock_guard<std::mutex> lock(graderLock());
    return gradeAnswer(pointers.data(), static_cast<int>(pointers.size()), typed.c_str(),
                       tolerances);
}

AnswerProblem accentedCapital(const std::string& form, unsigned char capital,
                              const std::string& typed, const std::string& verdict) {
    const MessageArguments arguments = {
        {"form", quoted(form)},
        {"capital", quoted(std::string(1, static_cast<char>(capital)))},
        {"typed", quoted(typed)},
        {"verdict", cp1252ToUtf8(verdict)}};
    return {Severity::Warning,
            tr("{form} holds the capital {capital}, which players type small; the player folds "
               "only a to z, so {typed} grades \"{verdict}\"",
               arguments),
            tr("write it as players type it: {typed} (the case of a to z does not count), or "
               "accept any case with case = \"any\" in a [grading] table",
               arguments)};
}

AnswerProblem accentedLetter(const std::string& form, unsigned char letter,
                             const std::string& plain, const std::string& verdict,
                             uint32_t tolerances) {
    // ß, ð and þ have no base letter that the tolerance could give them.
    const bool accentsFolded = (tolerances & TOLERATE_ACCENTS) != 0;
    const MessageArguments arguments = {
        {"form", quoted(form)},
        {"letter", quoted(std::string(1, static_cast<char>(letter)))},
        {"plain", quoted(plain)},
        {"verdict", cp1252ToUtf8(verdict)},
        {"forms", quoted(form + " | " + plain)}};
    return {Severity::Note,
            tr("{form} holds the accented letter {letter}, which players must type exactly: "
               "{plain} grades \"{verdict}\" (the player does not fold accents)",
               arguments),
            accentsFolded ? tr("to accept it, add it as a form ({forms})", arguments)
                          : tr("to accept it, add it as a form ({forms}) or set accents = "
                               "\"optional\" in a [grading] table",
                               arguments)};
}

AnswerProblem straightQuote(const std::string& form, const std::string& curly,
                            const std::string& verdict) {
    return {
        Severity::Note,
        tr("{form} holds a straight quote, which phones often type curly: {curly} grades "
           "\"{verdict}\"",
           {{"form", quoted(form)}, {"curly", quoted(curly)}, {"verdict", cp1252ToUtf8(verdict)}}),
        tr("to accept it, set quotes = \"any\" in a [grading] table")};
}

// The form with its straight quotes made curly, as a phone's keyboard types them.
std::string curlyQuotes(const std::string& form) {
    std::string curly = form;
    for (char& c : curly) {
        c = c == '\'' ? '\x92' : c == '"' ? '\x94' : c;
    }
    return curly;
}

// The form as players who type no accents write it.
std::string withoutAccents(const std::string& form) {
    std::string plain;
    for (char c : form) {
        const char* base = withoutAccent(static_cast<unsigned char>(c));
        plain += base ? std::string(base) : std::string(1, c);
    }
    return plain;
}

} // namespace

std::string inSmallLetters(const std::string& answer) {
    std::string typed = answer;
    for (char& c : typed) {
        if (unsigned char small = smallOf(static_cast<unsigned char>(c))) {
            c = static_cast<char>(small);
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return typed;
}

// Each way of typing is tried against all the forms with the quiz's tolerances, so nothing
// is said of what another form or a tolerance already accepts.
std::vector<AnswerProblem> answerProblems(const std::vector<std::string>& forms,
                                          uint32_t tolerances) {
    std::vector<AnswerProblem> problems;
    for (const std::string& form : forms) {
        if (form == kEmptyFieldLine) {
            problems.push_back(
                {Severity::Warning,
                 tr("\"*\" is how the answers file stores an empty field: once solved it comes "
                    "back empty when the player starts again, and the question unsolved"),
                 tr("give another expected answer")});
        }
        if (unsigned char capital = firstWhere(form, smallOf)) {
            std::string typed = inSmallLetters(form);
            std::string verdict = verdictOf(forms, typed, tolerances);
            if (verdict != kVerdictBravo) {
                problems.push_back(accentedCapital(form, capital, typed, verdict));
            }
        } else if (unsigned char letter = firstWhere(form, withoutAccent)) {
            std::string plain = withoutAccents(form);
            std::string verdict = verdictOf(forms, plain, tolerances);
            if (verdict != kVerdictBravo) {
                problems.push_back(accentedLetter(form, letter, plain, verdict, tolerances));
            }
        }
        if (form.find_first_of("'\"") != std::string::npos) {
            std::string curly = curlyQuotes(form);
            std::string verdict = verdictOf(forms, curly, tolerances);
            if (verdict != kVerdictBravo) {
                problems.push_back(straightQuote(form, curly, verdict));
            }
        }
    }
    return problems;
}
