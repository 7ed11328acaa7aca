// The portable half of the score, codes and reveals.
#pragma once

#include "content/quiz.h"

// The code box's text for `solved` questions: codes[solved - 1], or six blanks when none
// is solved. A count outside 1..90 (which a consistent quiz never gives) also shows the
// blanks rather than reading outside the table.
const char* codeForScore(const Quiz* quiz, int solved);

// Whether a field's text is one of its answer's accepted forms `forms[0..formCount)`: the text
// with the blanks around it removed, as the grader removes them, and each form, both folded
// as the grader folds them with `tolerances`, are the same. So " Paris " matches "Paris",
// and with TOLERATE_CASE "élysée" matches "Élysée". Only the first 259 characters count.
bool matchesAnyForm(const char* const* forms, int formCount, const char* typed,
                    uint32_t tolerances);

// The score box's text, " %d / %d" (with its leading blank), into `text` (32 bytes).
void formatScore(char* text, int solved, int questionCount);
constexpr int kScoreTextCapacity = 32;
