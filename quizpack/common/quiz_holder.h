// A Quiz owned the way start-up owns it: one zero-filled allocation, initialised, freed
// together with its question list.
#pragma once

#include <cstdlib>
#include <memory>
#include <new>

#include "content/quiz.h"

struct QuizDeleter {
    void operator()(Quiz* quiz) const {
        freeQuestions(quiz);
        free(quiz);
    }
};
using QuizPtr = std::unique_ptr<Quiz, QuizDeleter>;

// A fresh, initialised Quiz. Throws std::bad_alloc when memory runs out.
inline QuizPtr makeEmptyQuiz() {
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    if (quiz == nullptr) {
        throw std::bad_alloc();
    }
    initQuiz(quiz);
    return QuizPtr(quiz);
}
