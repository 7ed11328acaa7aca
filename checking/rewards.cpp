#include "checking/rewards.h"

#include <cstdio>
#include <cstring>

#include "checking/grader.h"

namespace {
const char kNoCode[] = "      ";
} // namespace

const char* codeForScore(const Quiz* quiz, int solved) {
    if (solved < 1 || solved > kMaxQuestions) {
        return kNoCode;
    }
    return quiz->codes[solved - 1];
}

// The same comparison the grader's "BRAVO" makes, without the distance table: a field
// graded "BRAVO" matches here, whatever blanks the typing left around it.
bool matchesAnyForm(const char* const* forms, int formCount, const char* typed,
                    uint32_t tolerances) {
    char field[kTextCapacity];
    const int length = normaliseTyped(typed, tolerances, field);
    for (int i = 0; i < formCount; ++i) {
        char form[kTextCapacity];
        if (foldText(forms[i], tolerances, form) == length && memcmp(form, field, length) == 0) {
            return true;
        }
    }
    return false;
}

void formatScore(char* text, int solved, int questionCount) {
    snprintf(text, kScoreTextCapacity, " %d / %d", solved, questionCount);
}
