#include "tests/support/quiz_factory.h"

#include <cstdio>
#include <cstdlib>

namespace test_support {

const char kTestQuizTitle[] = "Quiz de test";

Quiz* newQuiz() {
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    return quiz;
}

void freeQuiz(Quiz* quiz) {
    if (quiz != nullptr) {
        freeQuestions(quiz);
        free(quiz);
    }
}

Quiz* makeQuiz(int quizType, int answersPerQuestion, int revealMode,
               const std::vector<TestQuestion>& questions) {
    Quiz* quiz = newQuiz();
    quiz->quizType = quizType;
    quiz->answersPerQuestion = answersPerQuestion;
    quiz->revealMode = revealMode;
    copyText(quiz->title, kTestQuizTitle);
    copyText(quiz->creator, "Un auteur");
    copyText(quiz->explanation, "Une explication");
    copyText(quiz->answerLabel1, "Colonne un");
    copyText(quiz->answerLabel2, "Colonne deux");
    for (const TestQuestion& q : questions) {
        QuestionNode* node =
            appendQuestion(quiz, q.answer1.c_str(), q.answer2.c_str(), q.questionText.c_str());
        copyText(node->revealText, q.revealText.c_str());
    }
    quiz->questionCount = static_cast<int>(questions.size());
    for (int i = 0; i < kMaxQuestions; ++i) {
        snprintf(quiz->codes[i], kTextCapacity, "CODE%d", i + 1);
    }
    return quiz;
}

Quiz* makeNumberedQuiz(int quizType, int answersPerQuestion, int revealMode, int n) {
    std::vector<TestQuestion> questions;
    for (int q = 1; q <= n; ++q) {
        std::string number = std::to_string(q);
        questions.push_back({"A" + number, answersPerQuestion == 2 ? "B" + number : "",
                             "Question " + number, "R" + number});
    }
    return makeQuiz(quizType, answersPerQuestion, revealMode, questions);
}

int countQuestions(const Quiz* quiz) {
    int n = 0;
    for (const QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        ++n;
    }
    return n;
}

} // namespace test_support
