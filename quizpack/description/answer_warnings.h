// Expected answers that players will find hard to win: answers the answers file cannot keep,
// and letters whose case or accent the player does not fold (it folds only a to z).
#pragma once

#include <string>
#include <vector>

#include "quizpack/common/diagnostics.h"

struct AnswerProblem {
    Severity severity;
    std::string message; // follows the answer's name: "answer 1 ..."
    std::string hint;
};

// The problems of one expected answer (Windows-1252, as the package stores it), quoting it
// in UTF-8.
std::vector<AnswerProblem> answerProblems(const std::string& answer);

// The answer in small letters, as players type it: the player folds A to Z but not É, À, Ç,
// Œ and the other capitals.
std::string inSmallLetters(const std::string& answer);
