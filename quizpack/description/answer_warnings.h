// Expected answers that players will find hard to win: answers the answers file cannot keep,
// letters whose case or accent the player does not fold (it folds only a to z unless the
// quiz's tolerances say more), and straight quotes that phones type curly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/common/diagnostics.h"

struct AnswerProblem {
    Severity severity;
    std::string message; // follows the answer's name: "answer 1 ..."
    std::string hint;
};

// The problems of one expected answer, given as its accepted forms (Windows-1252, as the
// quiz stores them, the main one first), graded with `tolerances` (GradingTolerance bits):
// a way of typing a form that no form accepts. Quotes the forms in UTF-8.
std::vector<AnswerProblem> answerProblems(const std::vector<std::string>& forms,
                                          uint32_t tolerances);

// The answer in small letters, as players type it: the player folds A to Z but not É, À, Ç,
// Œ and the other capitals.
std::string inSmallLetters(const std::string& answer);
