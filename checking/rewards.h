// The portable half of the score, codes and reveals.
#pragma once

#include "content/quiz.h"

// The code box's text for `solved` questions: codes[solved - 1], or six blanks when none
// is solved. A count outside 1..90 (which a consistent quiz never gives) also shows the
// blanks rather than reading outside the table.
const char* codeForScore(const Quiz* quiz, int solved);

// Whether the field's raw text is the expected answer once the letters a to z of both
// are upper-cased; blanks count, so " Paris" does not match "Paris". Only the first 259
// characters of each text are compared.
bool matchesExpectedAnswer(const char* expected, const char* typed);

// The score box's text, " %d / %d" (with its leading blank), into `text` (32 bytes).
void formatScore(char* text, int solved, int questionCount);
constexpr int kScoreTextCapacity = 32;
