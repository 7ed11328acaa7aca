#include "quizpack/description/answer_warnings.h"

#include "checking/grader.h"
#include "quizpack/common/cp1252.h"

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
    static const char* const kFromE0[32] = {
        "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};
    switch (c) {
    case 0x9A:
        return "s";
    case 0x9C:
        return "oe";
    case 0x9E:
        return "z";
    case 0xDF:
        return "ss";
    default:
        return c >= 0xE0 ? kFromE0[c - 0xE0] : nullptr;
    }
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

AnswerProblem accentedCapital(const std::string& answer, unsigned char capital) {
    std::string typed = inSmallLetters(answer);
    return {Severity::Warning,
            quoted(answer) + " holds the capital " +
                quoted(std::string(1, static_cast<char>(capital))) +
                ", which players type small; the player folds only a to z, so " + quoted(typed) +
                " grades \"" + cp1252ToUtf8(gradeText(answer.c_str(), typed.c_str())) + "\"",
            "write it as players type it: " + quoted(typed) +
                " (the case of a to z does not count)"};
}

AnswerProblem accentedLetter(const std::string& answer, unsigned char letter) {
    std::string plain;
    for (char c : answer) {
        const char* base = withoutAccent(static_cast<unsigned char>(c));
        plain += base ? std::string(base) : std::string(1, c);
    }
    return {Severity::Note,
            quoted(answer) + " holds the accented letter " +
                quoted(std::string(1, static_cast<char>(letter))) +
                ", which players must type exactly: " + quoted(plain) + " grades \"" +
                cp1252ToUtf8(gradeText(answer.c_str(), plain.c_str())) +
                "\" (the player does not fold accents)",
            ""};
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

std::vector<AnswerProblem> answerProblems(const std::string& answer) {
    std::vector<AnswerProblem> problems;
    if (answer == kEmptyFieldLine) {
        problems.push_back(
            {Severity::Warning,
             "\"*\" is how the answers file stores an empty field: once solved it comes back "
             "empty when the player starts again, and the question unsolved",
             "give another expected answer"});
    }
    if (unsigned char capital = firstWhere(answer, smallOf)) {
        problems.push_back(accentedCapital(answer, capital));
    } else if (unsigned char letter = firstWhere(answer, withoutAccent)) {
        problems.push_back(accentedLetter(answer, letter));
    }
    return problems;
}
