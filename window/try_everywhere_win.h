// F1 in an answer field: its text tried in every field not yet solved.
#pragma once

#include <windows.h>

// Copies the field's text into every answer field whose verdict label does not read
// "BRAVO", in field order, and grades each of them as giving it the focus in turn (and the
// focus back to `field` at the end) would grade them: each field when the next one is
// reached, the last when the pass returns to `field`. The score is written once, after the
// last grading. The focus stays in `field`.
void tryTextEverywhere(HWND field);
