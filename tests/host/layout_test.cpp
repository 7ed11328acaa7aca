// The board's layout formulas against worked coordinates of the board.
#include <gtest/gtest.h>

#include "window/layout.h"

namespace {

struct RowCase {
    const char* what;
    int actual;
    int expected;
};

TEST(LayoutFormulas, WorkedCoordinates) {
    const RowCase cases[] = {
        {"text row of question 1", textRowY(1), 10},
        {"text row of question 2", textRowY(2), 35},
        {"text row of question 2, two answers", textRowY(2, 2), 60},
        {"text row of question 90, two answers", textRowY(90, 2), 4460},
        {"audio row of question 5", audioRowY(5), 100},
        {"audio row of question 1", audioRowY(1), 20},
        {"audio height from n + 3 with 4 questions", audioRowY(4 + 3), 180},
        {"column of question 2, one answer", columnX(2, 1), 290},
        {"column of question 5, one answer", columnX(5, 1), 290},
        {"column of question 4, two answers", columnX(4, 2), 90},
        {"column of question 3, two answers", columnX(3, 2), 670},
        {"picture row of question 2, reveal text", pictureRowY(2, 2), 280},
        {"picture row of question 4, reveal text", pictureRowY(4, 2), 670},
        {"picture row of question 4, reveal text and picture", pictureRowY(4, 3), 670},
        {"picture row of question 4, no reveal", pictureRowY(4, 0), 610},
        {"picture row of question 4, all texts", pictureRowY(4, 4), 610},
        {"picture row of question 7, reveal picture", pictureRowY(7, 1), 940},
    };
    for (const RowCase& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.what;
    }
}

} // namespace
