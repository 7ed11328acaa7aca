// The in-memory quiz: initialisation, the question list and its walk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "content/quiz.h"
#include "tests/support/quiz_factory.h"

namespace {

using test_support::OwnedQuiz;

TEST(QuizModel, NewQuizIsEmptyWithRevealModeTwo) {
    Quiz* quiz = static_cast<Quiz*>(malloc(sizeof(Quiz)));
    // Start from garbage in the fields initQuiz owns, zeros elsewhere as start-up does.
    memset(quiz, 0, sizeof(Quiz));
    memset(quiz->reservedTable, 0xAB, sizeof quiz->reservedTable);
    quiz->head = reinterpret_cast<QuestionNode*>(quiz);
    quiz->tail = reinterpret_cast<QuestionNode*>(quiz);
    initQuiz(quiz);

    EXPECT_EQ(quiz->head, nullptr);
    EXPECT_EQ(quiz->tail, nullptr);
    EXPECT_EQ(quiz->revealMode, REVEAL_TEXT);
    EXPECT_EQ(quiz->questionCount, 0);
    EXPECT_EQ(quiz->quizType, QUIZ_TEXT);
    EXPECT_STREQ(quiz->title, "");
    EXPECT_STREQ(quiz->answerLabel2, "");
    for (int s = 0; s < kMaxQuestions; ++s) {
        EXPECT_STREQ(quiz->codes[s], "") << "code " << s;
    }
    for (int i = 0; i < kReservedTableSize; ++i) {
        ASSERT_EQ(quiz->reservedTable[i], 0) << "reserved entry " << i;
    }
    EXPECT_EQ(questionAt(quiz, 0), nullptr);
    free(quiz);
}

TEST(QuizModel, AppendLinksBothWays) {
    OwnedQuiz fresh;
    Quiz* quiz = fresh.quiz;

    QuestionNode* first = appendQuestion(quiz, "Paris", "", "Capitale ?");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(quiz->head, first);
    EXPECT_EQ(quiz->tail, first);
    EXPECT_EQ(first->prev, nullptr);
    EXPECT_EQ(first->next, nullptr);
    EXPECT_STREQ(first->answer1, "Paris");
    EXPECT_STREQ(first->answer2, "");
    EXPECT_STREQ(first->questionText, "Capitale ?");
    EXPECT_STREQ(first->revealText, "");

    QuestionNode* second = appendQuestion(quiz, "Rome", "Italie", "Et l\xE0 ?");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(quiz->head, first);
    EXPECT_EQ(quiz->tail, second);
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(second->prev, first);
    EXPECT_EQ(second->next, nullptr);
    EXPECT_STREQ(second->answer2, "Italie");
    EXPECT_STREQ(second->questionText, "Et l\xE0 ?");
}

TEST(QuizModel, AppendCutsTextsTo259Bytes) {
    OwnedQuiz fresh;
    std::string longText(400, 'x');
    std::string exact(259, 'y');
    QuestionNode* node = appendQuestion(fresh.quiz, longText.c_str(), exact.c_str(), "");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(strlen(node->answer1), 259u);
    EXPECT_EQ(std::string(node->answer2), exact);
}

TEST(QuizModel, QuestionAtWalksAndStopsAtTheLastNode) {
    OwnedQuiz fresh;
    QuestionNode* nodes[3];
    const char* answers[3] = {"un", "deux", "trois"};
    for (int i = 0; i < 3; ++i) {
        nodes[i] = appendQuestion(fresh.quiz, answers[i], "", "");
        ASSERT_NE(nodes[i], nullptr);
    }
    struct Row {
        int k;
        int expectedNode;
    } rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {5, 2}, {1000, 2}, {-1, 0}};
    for (const Row& row : rows) {
        EXPECT_EQ(questionAt(fresh.quiz, row.k), nodes[row.expectedNode]) << "k = " << row.k;
    }
}

TEST(QuizModel, FreeQuestionsTwiceLeavesAnEmptyListAndOtherFields) {
    OwnedQuiz fresh;
    Quiz* quiz = fresh.quiz;
    quiz->questionCount = 2;
    copyText(quiz->title, "Titre");
    ASSERT_NE(appendQuestion(quiz, "a", "", ""), nullptr);
    ASSERT_NE(appendQuestion(quiz, "b", "", ""), nullptr);

    freeQuestions(quiz);
    EXPECT_EQ(quiz->head, nullptr);
    EXPECT_EQ(quiz->tail, nullptr);
    EXPECT_EQ(questionAt(quiz, 0), nullptr);
    EXPECT_EQ(quiz->questionCount, 2);
    EXPECT_STREQ(quiz->title, "Titre");

    freeQuestions(quiz);
    EXPECT_EQ(quiz->head, nullptr);
    EXPECT_EQ(quiz->tail, nullptr);

    // The list is usable again after being emptied.
    QuestionNode* again = appendQuestion(quiz, "c", "", "");
    EXPECT_EQ(quiz->head, again);
    EXPECT_EQ(again->prev, nullptr);
}

TEST(QuizModel, CopyTextNeverWritesPastTheBuffer) {
    struct Row {
        size_t sourceLength;
        size_t expectedLength;
    } rows[] = {{0, 0}, {1, 1}, {258, 258}, {259, 259}, {260, 259}, {1000, 259}};
    for (const Row& row : rows) {
        char buffer[kTextCapacity + 8];
        memset(buffer, 'G', sizeof buffer);
        std::string source(row.sourceLength, 'z');
        copyText(buffer, source.c_str());
        EXPECT_EQ(strlen(buffer), row.expectedLength) << "source length " << row.sourceLength;
        for (size_t i = kTextCapacity; i < sizeof buffer; ++i) {
            ASSERT_EQ(buffer[i], 'G') << "byte " << i << ", source length " << row.sourceLength;
        }
    }
}

} // namespace
