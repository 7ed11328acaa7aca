#include "quizpack/common/quiz_grading.h"

#include "checking/grader.h"

std::mutex& graderLock() {
    static std::mutex lock;
    return lock;
}

const char* gradeQuizAnswer(const Quiz* quiz, int question, int a, const char* typed) {
    const QuestionNode* node =
        question >= 0 && question < quiz->questionCount ? questionAt(quiz, question) : nullptr;
    const char* forms[kMaxAnswerForms] = {""};
    const int count = node != nullptr ? answerForms(node, a, forms) : 1;
    std::lock_guard<std::mutex> lock(graderLock());
    return gradeAnswer(forms, count, typed, quiz->tolerances);
}
