// readPackage, and readGradingExtras, on arbitrary unpacked bytes: no read or write outside
// the buffers (ASan) and a Quiz the rest of the player can rely on.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/grading_extras.h"
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

// A quiz of 90 questions of two answers, which every field index of "PATCH" 106 can name.
Quiz* fullQuiz() {
    static Quiz* quiz = [] {
        auto* q = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
        initQuiz(q);
        q->answersPerQuestion = 2;
        for (int i = 0; i < kMaxQuestions; ++i) {
            appendQuestion(q, "A", "B", "");
        }
        q->questionCount = kMaxQuestions;
        return q;
    }();
    return quiz;
}

// The extras read, or nothing of them at all; forms the grader can take.
bool extrasConsistent(const Quiz* quiz, ExtrasProblem problem) {
    if (problem != EXTRAS_OK) {
        return quiz->tolerances == 0 && quiz->linkChoice == LINK_PROGRAM &&
               !hasGradingExtras(*quiz);
    }
    if ((quiz->tolerances & ~kAllTolerances) != 0 || !isAcceptedLink(quiz->link)) {
        return false;
    }
    for (const QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        for (int a = 1; a <= 2; ++a) {
            const char* forms[kMaxAnswerForms];
            int count = answerForms(node, a, forms);
            for (int i = 1; i < count; ++i) {
                if (forms[i][0] == '\0' || strlen(forms[i]) >= kTextCapacity) {
                    return false;
                }
            }
        }
    }
    return true;
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

    Quiz* full = fullQuiz();
    ExtrasProblem problem = readGradingExtras(data, static_cast<int32_t>(size), full);
    if (!extrasConsistent(full, problem)) {
        __builtin_trap();
    }
    for (QuestionNode* node = full->head; node != nullptr; node = node->next) {
        setOtherForms(node, 1, nullptr, 0);
        setOtherForms(node, 2, nullptr, 0);
    }
    full->tolerances = 0;
    full->linkChoice = LINK_PROGRAM;
    full->link[0] = '\0';
    return 0;
}
