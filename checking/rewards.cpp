#include "checking/rewards.h"

#include <cstdio>

namespace {

const char kNoCode[] = "      ";
constexpr int kMaxText = kTextCapacity - 1;

unsigned char upperCased(char c) {
    unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

} // namespace

const char* codeForScore(const Quiz* quiz, int solved) {
    if (solved < 1 || solved > kMaxQuestions) {
        return kNoCode;
    }
    return quiz->codes[solved - 1];
}

bool matchesExpectedAnswer(const char* expected, const char* typed) {
    for (int i = 0; i < kMaxText; ++i) {
        if (upperCased(expected[i]) != upperCased(typed[i])) {
            return false;
        }
        if (expected[i] == '\0') {
            return true;
        }
    }
    return true;
}

void formatScore(char* text, int solved, int questionCount) {
    snprintf(text, kScoreTextCapacity, " %d / %d", solved, questionCount);
}
