// Grading one answer field of the board.
#pragma once

#include <windows.h>

#include "content/quiz.h"

// Grades the text of answer field `fieldId` (4000 + k) against its expected answer, runs
// the reveals of a solved question or takes its reveal text back, writes the verdict into
// label fieldId + 1000 and refreshes the score. Allocates nothing.
void gradeAnswerField(const Quiz* quiz, HWND board, int fieldId);

// gradeAnswerField without the score, for a caller that grades many fields in a row and
// refreshes the score itself after the last one (refreshScore). The verdict and the
// reveals are those gradeAnswerField gives.
void gradeFieldWithoutScore(const Quiz* quiz, HWND board, int fieldId);
