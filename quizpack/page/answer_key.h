// quizpack key: a quiz's answer key for the teacher, one page to print with every question
// (its text, or a thumbnail of its picture), the answers the player accepts, and the code
// shown for each score. The page holds no script and loads nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "content/quiz.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/common/output_guard.h"

// What the key shows of one question besides its texts.
struct KeyQuestion {
    std::vector<uint8_t> picture; // the question's picture as build stores it; empty: none
    std::string clip;             // where its clip comes from, for audio and video quizzes
};

struct AnswerKey {
    const Quiz* quiz = nullptr;         // texts in Windows-1252, as the player holds them
    std::vector<KeyQuestion> questions; // one per question of the quiz
};

// The texts the player grades "BRAVO" for answer `answer` (1 or 2) of a question, as the key
// lists them: its accepted forms, the main one first (Windows-1252).
std::vector<std::string> acceptedAnswers(const QuestionNode& node, int answer);

// The whole page: plain ASCII HTML, texts as character references, pictures as data: URLs.
std::string renderAnswerKey(const AnswerKey& key);

// What an existing file is when it is no answer key this command wrote ("a web page"); ""
// for such a key, which it may replace.
std::string describeIfNotAnswerKey(const std::vector<uint8_t>& bytes);

struct KeyOptions {
    std::filesystem::path input;  // QUIZ.toml, or a quiz executable
    std::filesystem::path output; // empty: TITLE-corrige.html beside the input
    ReadOnlyOutput readOnlyOutput = ReadOnlyOutput::Refuse; // Replace with --force
};

struct KeyReport {
    std::vector<Diagnostic> diagnostics; // from the check of a description
    std::vector<std::string> warnings;   // from the reading of an executable
    bool written = false;
    std::filesystem::path output;
    size_t questions = 0;
    size_t pictures = 0;
    uint64_t pageBytes = 0;
};

// Checks (or reads) the quiz and writes its key through a temporary file. Returns with
// written = false and nothing written when a description has errors; a picture that does
// not decode is left out with a warning. Throws QuizReadError, FileError, and
// QuizpackError when the output is one of the inputs, or, without --force, read-only or an
// existing file that is no answer key.
KeyReport writeAnswerKey(const KeyOptions& options,
                         const std::function<void(const std::vector<Diagnostic>&)>& checked);
