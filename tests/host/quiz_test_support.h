// Helpers shared by the content tests: a Quiz made the way start-up makes it, and bytes
// held in an allocation of exactly their length so that ASan sees any read past them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "content/quiz.h"

// Named apart: every host test file is linked into one program.
namespace content_test {

// A zero-filled, initialised Quiz, freed with its questions.
struct FreshQuiz {
    Quiz* quiz;
    FreshQuiz() : quiz(static_cast<Quiz*>(calloc(1, sizeof(Quiz)))) { initQuiz(quiz); }
    ~FreshQuiz() {
        freeQuestions(quiz);
        free(quiz);
    }
    FreshQuiz(const FreshQuiz&) = delete;
    FreshQuiz& operator=(const FreshQuiz&) = delete;
};

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

inline int countNodes(const Quiz* quiz) {
    int n = 0;
    for (const QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        ++n;
    }
    return n;
}

} // namespace content_test
