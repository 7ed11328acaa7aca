// Score, codes and reveals on the real windows.
#pragma once

#include <windows.h>

#include "content/quiz.h"

// Recounts the solved questions from the board's verdict labels, writes the score box
// (150) and the code box (157) of the board's parent, and in reveal mode 4 with every
// question solved writes every reveal text.
void refreshScore(const Quiz* quiz, HWND board);

// After a "BRAVO" in a quiz with a reveal mode: when every field of question q holds its
// expected answer exactly (case of a to z aside), shows the reveal text and/or the reveal
// picture of the mode. `node` is question q's node; null does nothing.
void revealIfComplete(const Quiz* quiz, HWND board, int q, const QuestionNode* node);
