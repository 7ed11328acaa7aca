// The portable half of the rewards: codes per score, the answer check of the reveals and
// the score text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// The reveal check compares as the grader's "BRAVO" does: blanks around the typed text go,
// a to z (and with the tolerances more) are folded, and any accepted form will do.
TEST(Rewards, RevealCheckMatchesLikeBravo) {
    struct Case {
        std::vector<const char*> forms;
        const char* typed;
        uint32_t tolerances;
        bool matches;
    } cases[] = {
        {{"Paris"}, "Paris", 0, true},
        {{"Paris"}, "PARIS", 0, true},
        {{"Paris"}, " Paris", 0, true}, // graded BRAVO, so revealed too
        {{"Paris"}, "paris  ", 0, true},
        {{"Paris "}, "paris ", 0, false}, // the stored answer keeps its blank; the typed loses it
        {{"Tour Eiffel"}, "tour  eiffel", 0, false},
        {{"Cl\xE9op\xE2tre"}, "CL\xE9OP\xE2TRE", 0, true},
        {{"Cl\xE9op\xE2tre"}, "CL\xC9OP\xC2TRE", 0, false},
        {{"Cl\xE9op\xE2tre"}, "CL\xC9OP\xC2TRE", TOLERATE_CASE, true},
        {{"Cl\xE9op\xE2tre"}, "cleopatre", TOLERATE_CASE, false},
        {{"Cl\xE9op\xE2tre"}, "cleopatre", TOLERATE_ACCENTS, true},
        {{"l'\xE9t\xE9"}, "l\x92\xE9t\xE9", 0, false},
        {{"l'\xE9t\xE9"}, "l\x92\xE9t\xE9", TOLERATE_QUOTES, true},
        {{"Charles de Gaulle", "De Gaulle"}, " de gaulle", 0, true},
        {{"Charles de Gaulle", "De Gaulle"}, "gaulle", 0, false},
        {{""}, "", 0, true},
        {{""}, "a", 0, false},
        {{"Rome"}, "Rom", 0, false},
        {{"Rom"}, "Rome", 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            matchesAnyForm(c.forms.data(), static_cast<int>(c.forms.size()), c.typed, c.tolerances),
            c.matches)
            << "[" << c.forms[0] << "] vs [" << c.typed << "], tolerances " << c.tolerances;
    }
}

TEST(Rewards, RevealCheckComparesAtMost259Characters) {
    std::string expected(259, 'a');
    std::string typed = std::string(259, 'A') + "extra beyond the field";
    const char* forms[] = {expected.c_str()};
    EXPECT_TRUE(matchesAnyForm(forms, 1, typed.c_str(), 0));
    typed[258] = 'b';
    EXPECT_FALSE(matchesAnyForm(forms, 1, typed.c_str(), 0));
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
