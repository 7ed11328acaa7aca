// The portable half of the rewards: codes per score, the exact-answer check of the reveals
// and the score text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "checking/rewards.h"
#include "tests/support/quiz_factory.h"

namespace {

using test_support::OwnedQuiz;

TEST(Rewards, CodeForScore) {
    // Codes "CODE1" to "CODE90".
    OwnedQuiz q(test_support::makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 0));
    struct Case {
        int solved;
        std::string expected;
    } cases[] = {
        {0, "      "},
        {1, "CODE1"},
        {3, "CODE3"},
        {90, "CODE90"},
        // Never given by a consistent quiz; shown as nothing rather than read out of bounds.
        {91, "      "},
        {-1, "      "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codeForScore(q.quiz, c.solved), c.expected) << "solved " << c.solved;
    }
    q.quiz->codes[1][0] = '\0';
    EXPECT_STREQ(codeForScore(q.quiz, 2), "") << "a missing code table empties the box";
}

TEST(Rewards, ExactAnswerForReveals) {
    struct Case {
        const char* expected;
        const char* typed;
        bool matches;
    } cases[] = {
        {"Paris", "Paris", true},
        {"Paris", "paris", true},
        {"Paris", "PARIS", true},
        {"Paris", " Paris", false}, // graded BRAVO, but the reveal wants the raw text
        {"Paris", "Paris ", false},
        {"Paris ", "paris ", true},
        {"Cl\xE9op\xE2tre", "CL\xE9OP\xE2TRE", true}, // accents are not folded
        {"Cl\xE9op\xE2tre", "CL\xC9OP\xC2TRE", false},
        {"", "", true},
        {"", "a", false},
        {"Rome", "Rom", false},
        {"Rom", "Rome", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesExpectedAnswer(c.expected, c.typed), c.matches)
            << "[" << c.expected << "] vs [" << c.typed << "]";
    }
}

TEST(Rewards, ExactAnswerComparesAtMost259Characters) {
    std::string expected(259, 'a');
    std::string typed = std::string(259, 'A') + "extra beyond the field";
    EXPECT_TRUE(matchesExpectedAnswer(expected.c_str(), typed.c_str()));
    typed[258] = 'b';
    EXPECT_FALSE(matchesExpectedAnswer(expected.c_str(), typed.c_str()));
}

TEST(Rewards, ScoreText) {
    struct Case {
        int solved, count;
        const char* expected;
    } cases[] = {{0, 0, " 0 / 0"}, {3, 30, " 3 / 30"}, {0, 3, " 0 / 3"}, {90, 90, " 90 / 90"}};
    for (const Case& c : cases) {
        char text[kScoreTextCapacity];
        formatScore(text, c.solved, c.count);
        EXPECT_STREQ(text, c.expected) << c.solved << " of " << c.count;
    }
}

} // namespace
