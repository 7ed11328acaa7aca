// The grader's entry points for the exported web page: the same checking/ sources, compiled
// to WebAssembly. The page writes Windows-1252 bytes into the text buffers (the accepted
// forms of one answer, then the typed text) and calls a function; no memory is allocated and
// nothing else crosses the boundary.
#include "checking/grader.h"
#include "checking/rewards.h"

namespace {
// 259 characters and the terminator, as every text the player holds.
char gForms[kMaxAnswerForms][kTextCapacity];
char gTyped[kTextCapacity];

// The first `count` forms, as the player hands them to the grader.
int formsOf(int count, const char* forms[kMaxAnswerForms]) {
    count = count < 1 ? 1 : count > kMaxAnswerForms ? kMaxAnswerForms : count;
    for (int i = 0; i < count; ++i) {
        forms[i] = gForms[i];
    }
    return count;
}
} // namespace

extern "C" {

// Form i (0 to maxForms() - 1) of the answer to grade against; form 0 is the main answer.
__attribute__((export_name("formText"))) char* formText(int i) {
    return gForms[i < 0 || i >= kMaxAnswerForms ? 0 : i];
}

__attribute__((export_name("typedText"))) char* typedText() {
    return gTyped;
}

__attribute__((export_name("textCapacity"))) int textCapacity() {
    return kTextCapacity;
}

__attribute__((export_name("maxForms"))) int maxForms() {
    return kMaxAnswerForms;
}

// The verdict word of the typed text against the first `count` forms, with the quiz's
// tolerances: a zero-terminated Windows-1252 text in the module's memory.
__attribute__((export_name("grade"))) const char* grade(int count, int tolerances) {
    const char* forms[kMaxAnswerForms];
    return gradeAnswer(forms, formsOf(count, forms), gTyped, static_cast<uint32_t>(tolerances));
}

// 1 when the typed text is one of the first `count` forms, as the reveal check compares.
__attribute__((export_name("matches"))) int matches(int count, int tolerances) {
    const char* forms[kMaxAnswerForms];
    return matchesAnyForm(forms, formsOf(count, forms), gTyped, static_cast<uint32_t>(tolerances))
               ? 1
               : 0;
}
}
