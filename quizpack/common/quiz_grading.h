// quizpack's calls into the player's grader. The grader keeps one distance table for the
// whole program, and the studio grades on several threads at once (trial answers, the
// check's answer warnings, builds): every grading in quizpack goes through this lock.
#pragma once

#include <mutex>

#include "content/quiz.h"

std::mutex& graderLock();

// The verdict of answer `a` (1 or 2) of question `question` (from 0) for the field text
// `typed` (Windows-1252): graded against that answer's accepted forms with the quiz's
// tolerances, as the player grades the field. A question beyond the list counts as one
// empty form. Takes the grader lock.
const char* gradeQuizAnswer(const Quiz* quiz, int question, int a, const char* typed);
