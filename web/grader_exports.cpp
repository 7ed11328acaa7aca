// The grader's entry points for the exported web page: the same checking/ sources, compiled
// to WebAssembly. The page writes Windows-1252 bytes into the two text buffers and calls a
// function; no memory is allocated and nothing else crosses the boundary.
#include "checking/grader.h"
#include "checking/rewards.h"

namespace {
// 259 characters and the terminator, as every text the player holds.
char gExpected[kTextCapacity];
char gTyped[kTextCapacity];
} // namespace

extern "C" {

__attribute__((export_name("expectedText"))) char* expectedText() {
    return gExpected;
}

__attribute__((export_name("typedText"))) char* typedText() {
    return gTyped;
}

__attribute__((export_name("textCapacity"))) int textCapacity() {
    return kTextCapacity;
}

// The verdict word, a zero-terminated Windows-1252 text in the module's memory.
__attribute__((export_name("grade"))) const char* grade() {
    return gradeText(gExpected, gTyped);
}

// 1 when the field's raw text is the expected answer but for the case of a to z: the
// check a reveal waits for.
__attribute__((export_name("matches"))) int matches() {
    return matchesExpectedAnswer(gExpected, gTyped) ? 1 : 0;
}
}
