// readPackage on arbitrary unpacked bytes: no read or write outside the buffers (ASan) and
// a Quiz the rest of the player can rely on.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/package.h"
#include "content/quiz.h"

namespace {

bool textFits(const char* text) {
    return memchr(text, '\0', kTextCapacity) != nullptr;
}

bool consistent(const Quiz* quiz) {
    if (quiz->quizType < QUIZ_TEXT || quiz->quizType > QUIZ_VIDEO) {
        return false;
    }
    if (quiz->answersPerQuestion != 1 && quiz->answersPerQuestion != 2) {
        return false;
    }
    if (quiz->questionCount < 0 || quiz->questionCount > kMaxQuestions) {
        return false;
    }
    if (quiz->backgroundBrush != nullptr) {
        return false;
    }
    for (const char* text :
         {quiz->title, quiz->creator, quiz->explanation, quiz->answerLabel1, quiz->answerLabel2}) {
        if (!textFits(text)) {
            return false;
        }
    }
    int nodes = 0;
    const QuestionNode* previous = nullptr;
    for (const QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        if (node->prev != previous || !textFits(node->answer1) || !textFits(node->answer2) ||
            !textFits(node->questionText) || !textFits(node->revealText)) {
            return false;
        }
        previous = node;
        ++nodes;
    }
    return nodes == quiz->questionCount && quiz->tail == previous;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 200000) {
        return 0;
    }
    auto* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    readPackage(data, static_cast<int32_t>(size), quiz);
    if (!consistent(quiz)) {
        __builtin_trap();
    }
    freeQuestions(quiz);
    free(quiz);
    return 0;
}
