// Quizzes made in memory as the loader would leave them, for host and Windows tests alike.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "content/quiz.h"

namespace test_support {

struct TestQuestion {
    std::string answer1;
    std::string answer2;
    std::string questionText;
    std::string revealText;
};

extern const char kTestQuizTitle[];

// A zero-filled, initialised Quiz (freed with freeQuiz).
Quiz* newQuiz();
// The quiz and its questions; a null quiz is allowed.
void freeQuiz(Quiz* quiz);

// A quiz of `questions`, titled kTestQuizTitle, with an author, an explanation, two column
// labels, the codes "CODE1", "CODE2", ... and no colour or brush.
Quiz* makeQuiz(int quizType, int answersPerQuestion, int revealMode,
               const std::vector<TestQuestion>& questions);
// n questions whose answers are "A<q>" (and "B<q>" with two answers), texts "Question <q>",
// reveals "R<q>". More than 90 is allowed, for quizzes the loader must cut.
Quiz* makeNumberedQuiz(int quizType, int answersPerQuestion, int revealMode, int n);

// Owns a quiz (a fresh one by default) until it goes.
struct OwnedQuiz {
    Quiz* quiz;
    explicit OwnedQuiz(Quiz* owned = newQuiz()) : quiz(owned) {}
    ~OwnedQuiz() { freeQuiz(quiz); }
    OwnedQuiz(const OwnedQuiz&) = delete;
    OwnedQuiz& operator=(const OwnedQuiz&) = delete;
    Quiz* operator->() const { return quiz; }
};

// The length of the quiz's question list.
int countQuestions(const Quiz* quiz);

// Bytes held in an allocation of exactly their length (the first `take` of them), so that
// AddressSanitizer sees any read past them.
struct ExactBytes {
    std::unique_ptr<uint8_t[]> data;
    int32_t length;
    ExactBytes(const std::vector<uint8_t>& bytes, size_t take)
        : data(new uint8_t[take]), length(static_cast<int32_t>(take)) {
        if (take > 0) {
            memcpy(data.get(), bytes.data(), take);
        }
    }
    explicit ExactBytes(const std::vector<uint8_t>& bytes) : ExactBytes(bytes, bytes.size()) {}
};

} // namespace test_support
