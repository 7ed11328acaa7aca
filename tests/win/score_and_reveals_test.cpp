// Grading a field on the real board: the verdict label, the score and code in the header,
// and the reveal texts of each mode. Fields are graded the way the player grades them:
// the focus leaves them.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/field_grading_win.h"
#include "window/rewards_win.h"

using namespace test_support;

namespace {

class Board : public PlayerBoard {
  public:
    using PlayerBoard::PlayerBoard;

    // Types into field k and leaves it: the focus goes to another field (or to the board
    // for the only one), which grades it.
    void answer(int k, const char* text) const {
        SetFocus(field(k));
        SetWindowTextA(field(k), text);
        HWND other = field(k == 1 ? 2 : 1);
        SetFocus(other != nullptr ? other : board());
    }
};

TEST(Score, NothingSolvedReplacesTheInitialCode) {
    Board b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 30));
    EXPECT_EQ(b.score(), " 0 / 30");
    EXPECT_EQ(b.code(), "      ");
}

TEST(Score, ThreeOfThirty) {
    Board b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 30));
    b.answer(4, "a4");
    b.answer(17, "A17");
    b.answer(30, " a30 ");
    EXPECT_EQ(b.verdict(30), "BRAVO");
    EXPECT_EQ(b.fieldText(30), " a30 ") << "grading never changes the field";
    EXPECT_EQ(b.score(), " 3 / 30");
    EXPECT_EQ(b.code(), "CODE3");
}

TEST(Score, FollowsEveryGrading) {
    struct Step {
        int field;
        const char* typed;
        const char* verdict;
        const char* score;
        const char* code;
    };
    // Two answers per question: question q wants "A<q>" and "B<q>".
    const Step steps[] = {
        {1, "a1", "BRAVO", " 0 / 3", "      "}, // one of two: not solved
        {2, "b1", "BRAVO", " 1 / 3", "CODE1"},  // both: solved
        {3, "A2", "BRAVO", " 1 / 3", "CODE1"},    {4, "B2", "BRAVO", " 2 / 3", "CODE2"},
        {4, "B", "Quasiment", " 1 / 3", "CODE1"}, // a wrong answer lowers the score
        {1, "", "?", " 0 / 3", "      "},         // and six blanks again at 0
        {1, "xyz", "FAUX", " 0 / 3", "      "},
    };
    Board b(makeNumberedQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING, 3));
    for (const Step& s : steps) {
        b.answer(s.field, s.typed);
        std::string row = std::string("field ") + std::to_string(s.field) + " [" + s.typed + "]";
        EXPECT_EQ(b.verdict(s.field), s.verdict) << row;
        EXPECT_EQ(b.score(), s.score) << row;
        EXPECT_EQ(b.code(), s.code) << row;
    }
}

TEST(Score, CountsTheLabelsNotTheFields) {
    Board b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 2));
    b.answer(1, "A1");
    // Edited but not graded yet: still counted by its old verdict.
    SetWindowTextA(GetDlgItem(b.board(), 4001), "wrong");
    refreshScore(g_app.quiz, b.board());
    EXPECT_EQ(b.score(), " 1 / 2");
    EXPECT_EQ(b.code(), "CODE1");
}

TEST(Score, MissingCodeTableEmptiesTheCodeBox) {
    Quiz* quiz = makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 2);
    for (int i = 0; i < kMaxQuestions; ++i) {
        quiz->codes[i][0] = '\0';
    }
    Board b(quiz);
    EXPECT_EQ(b.code(), "      ");
    b.answer(1, "A1");
    EXPECT_EQ(b.code(), "");
}

// Reveal texts live on picture boards (modes 2, 3 and 4); this program has no pictures.
TEST(Reveals, TextModeShowsAndTakesBack) {
    struct Step {
        int field;
        const char* typed;
        const char* reveal1;
    };
    const Step steps[] = {
        {1, "A1", "R1"},   {1, "A", ""},   // graded otherwise: taken back
        {1, " A1 ", "R1"},                 // BRAVO with blanks around: revealed as well
        {1, "a1", "R1"},   {1, "   ", ""}, // only blanks: "?" and the reveal goes
    };
    Board b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_TEXT, 2));
    for (const Step& s : steps) {
        b.answer(s.field, s.typed);
        EXPECT_EQ(b.reveal(1), s.reveal1) << "[" << s.typed << "]";
        EXPECT_EQ(b.reveal(2), "") << "[" << s.typed << "]";
    }
    EXPECT_EQ(b.verdict(1), "?");
}

// The blank a phone's predictive text leaves after a word: the answer counts, and the
// reveal it earns comes too.
TEST(Reveals, BlankAroundTheAnswerCountsAndReveals) {
    Board b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_TEXT, 2));
    b.answer(2, "a2 ");
    EXPECT_EQ(b.verdict(2), "BRAVO");
    EXPECT_EQ(b.score(), " 1 / 2");
    EXPECT_EQ(b.reveal(2), "R2");
}

TEST(Reveals, TwoAnswersNeedBoth) {
    Board b(makeNumberedQuiz(QUIZ_PICTURE, 2, REVEAL_TEXT, 2));
    b.answer(3, "A2");
    EXPECT_EQ(b.reveal(2), "") << "one of two";
    b.answer(4, "b2");
    EXPECT_EQ(b.reveal(2), "R2");
    b.answer(3, "A22");
    EXPECT_EQ(b.reveal(2), "") << "answer 1 now wrong";
}

TEST(Reveals, TextAndPictureWithoutPictureResource) {
    Board b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_TEXT_AND_PICTURE, 3));
    HWND picture = GetDlgItem(b.board(), 9002);
    PixelRect before = rectInParent(picture);
    b.answer(2, "A2");
    EXPECT_EQ(b.reveal(2), "R2");
    EXPECT_EQ(rectInParent(picture), before) << "no reveal picture: the control stays";
    EXPECT_EQ(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

TEST(Reveals, AllTextsOnceEverythingIsSolved) {
    Board b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_ALL_TEXTS, 3));
    b.answer(1, "A1");
    b.answer(2, "A2");
    EXPECT_EQ(b.reveal(1), "") << "mode 4 shows nothing per question";
    EXPECT_EQ(b.reveal(2), "");
    b.answer(3, "a3");
    EXPECT_EQ(b.reveal(1), "R1");
    EXPECT_EQ(b.reveal(2), "R2");
    EXPECT_EQ(b.reveal(3), "R3");
    b.answer(2, "A3");
    EXPECT_EQ(b.reveal(1), "R1") << "the others stay";
    EXPECT_EQ(b.reveal(2), "") << "only the question graded wrong loses its text";
    EXPECT_EQ(b.reveal(3), "R3");
    EXPECT_EQ(b.score(), " 2 / 3");
}

TEST(Reveals, NoRevealModeRevealsNothing) {
    struct Case {
        int mode;
    } cases[] = {
        // clang-format off
        {REVEAL_NOTHING},
        {REVEAL_PICTURE},
        // clang-format on
    };
    for (const Case& c : cases) {
        Board b(makeNumberedQuiz(QUIZ_PICTURE, 1, c.mode, 1));
        b.answer(1, "A1");
        EXPECT_EQ(b.verdict(1), "BRAVO") << c.mode;
        EXPECT_EQ(GetDlgItem(b.board(), 8001), nullptr) << c.mode;
        EXPECT_EQ(b.score(), " 1 / 1") << c.mode;
    }
}

// The grader's verdicts through a real field (expected answer, typed text). The grader's
// own worked examples are checked natively; here one of them, with its Windows-1252 letter,
// shows the verdict reaches the label, and blanks alone give "?".
TEST(GradeField, VerdictWordsReachTheLabel) {
    struct Case {
        const char* expected;
        const char* typed;
        const char* verdict;
    } cases[] = {
        // clang-format off
        {"Chateau de Versailles", "chato de versaille", "yade lid\xE9" "e"},
        {"Londres", "   ", "?"},
        // clang-format on
    };
    for (const Case& c : cases) {
        Board b(makeQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, {{c.expected, "", "q", ""}}));
        SetWindowTextA(GetDlgItem(b.board(), 4001), c.typed);
        gradeAnswerField(g_app.quiz, b.board(), 4001);
        EXPECT_EQ(b.verdict(1), c.verdict) << c.expected << " / [" << c.typed << "]";
        EXPECT_EQ(b.fieldText(1), c.typed);
    }
}

// Field identifiers map back to their question and answer in both layouts.
TEST(GradeField, SecondAnswersAreComparedWithAnswerTwo) {
    Board b(makeQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING,
                     {{"Paris", "Seine", "q1", ""}, {"Rome", "Tibre", "q2", ""}}));
    const char* typed[] = {"seine", "paris", "Rome", "tibre"};
    const char* verdicts[] = {"FAUX", "FAUX", "BRAVO", "BRAVO"};
    for (int k = 1; k <= 4; ++k) {
        SetWindowTextA(GetDlgItem(b.board(), answerFieldId(k)), typed[k - 1]);
        gradeAnswerField(g_app.quiz, b.board(), answerFieldId(k));
        EXPECT_EQ(b.verdict(k), verdicts[k - 1]) << "field " << k;
    }
    EXPECT_EQ(b.score(), " 1 / 2");
}

} // namespace
