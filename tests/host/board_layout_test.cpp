// Where the board's controls go, the content size, the field numbering and the centring,
// against the worked coordinates of the board, the shell and the reveals.
#include <gtest/gtest.h>

#include <ostream>

#include "resources/resource.h"
#include "window/board_layout.h"

static std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}

namespace {

enum { TEXT = 0, PICTURE = 1, AUDIO = 2, VIDEO = 3 };

struct ControlCase {
    const char* what;
    int quizType, answersPerQuestion, revealMode, q;
    PixelRect QuestionLayout::*control;
    PixelRect expected;
};

TEST(BoardLayout, WorkedControlPositions) {
    // clang-format off
    const ControlCase cases[] = {
        {"text q1 question", TEXT, 1, 0, 1, &QuestionLayout::questionLabel, {50, 10, 550, 20}},
        {"text q1 number", TEXT, 1, 0, 1, &QuestionLayout::numberLabel, {30, 13, 19, 17}},
        {"text q2 question", TEXT, 1, 0, 2, &QuestionLayout::questionLabel, {50, 35, 550, 20}},
        {"text q2 number", TEXT, 1, 0, 2, &QuestionLayout::numberLabel, {30, 38, 19, 17}},
        {"text q2 two answers question", TEXT, 2, 0, 2, &QuestionLayout::questionLabel, {50, 60, 390, 41}},
        {"text q2 two answers number", TEXT, 2, 0, 2, &QuestionLayout::numberLabel, {30, 63, 19, 17}},
        {"audio q5 play", AUDIO, 1, 0, 5, &QuestionLayout::playButton, {320, 100, 20, 21}},
        {"audio q5 stop", AUDIO, 1, 0, 5, &QuestionLayout::stopButton, {320, 121, 20, 20}},
        {"audio q5 number", AUDIO, 1, 0, 5, &QuestionLayout::numberLabel, {300, 102, 19, 17}},
        {"video q1 host", VIDEO, 1, 0, 1, &QuestionLayout::playerHost, {15, 30, 200, 150}},
        {"video q1 play", VIDEO, 1, 0, 1, &QuestionLayout::playButton, {15, 240, 20, 20}},
        {"video q1 stop", VIDEO, 1, 0, 1, &QuestionLayout::stopButton, {15, 260, 20, 20}},
        {"video q1 number", VIDEO, 1, 0, 1, &QuestionLayout::numberLabel, {-10, 244, 19, 17}},
        {"picture q2 mode 2 cell", PICTURE, 1, 2, 2, &QuestionLayout::pictureCell, {320, 20, 260, 260}},
        {"picture q2 mode 2 reveal", PICTURE, 1, 2, 2, &QuestionLayout::revealLabel, {320, 336, 260, 65}},
        {"picture q4 mode 2 cell", PICTURE, 1, 2, 4, &QuestionLayout::pictureCell, {30, 410, 260, 260}},
        {"picture q4 mode 0 cell", PICTURE, 1, 0, 4, &QuestionLayout::pictureCell, {30, 350, 260, 260}},
        {"text: no picture cell", TEXT, 1, 0, 1, &QuestionLayout::pictureCell, {0, 0, 0, 0}},
        {"picture: no buttons", PICTURE, 1, 0, 1, &QuestionLayout::playButton, {0, 0, 0, 0}},
        {"audio: no host", AUDIO, 1, 0, 1, &QuestionLayout::playerHost, {0, 0, 0, 0}},
    };
    // clang-format on
    for (const ControlCase& c : cases) {
        QuestionLayout layout = questionLayout(c.quizType, c.answersPerQuestion, c.revealMode, c.q);
        EXPECT_EQ(layout.*c.control, c.expected) << c.what;
    }
}

struct FieldCase {
    const char* what;
    int quizType, answersPerQuestion, revealMode, q;
    PixelRect fields[2];
    PixelRect verdicts[2];
};

TEST(BoardLayout, WorkedFieldsAndVerdicts) {
    const PixelRect none = {0, 0, 0, 0};
    const FieldCase cases[] = {
        {"text q1", TEXT, 1, 0, 1, {{615, 10, 100, 20}, none}, {{720, 9, 90, 20}, none}},
        {"text q2", TEXT, 1, 0, 2, {{615, 35, 100, 20}, none}, {{720, 34, 90, 20}, none}},
        {"audio q5", AUDIO, 1, 0, 5, {{340, 100, 220, 20}, none}, {{340, 119, 220, 20}, none}},
        {"video q1 mode 0", VIDEO, 1, 0, 1, {{35, 240, 230, 20}, none}, {{35, 259, 230, 20}, none}},
        {"picture q2 mode 2",
         PICTURE,
         1,
         2,
         2,
         {{320, 290, 260, 20}, none},
         {{320, 309, 260, 20}, none}},
        {"picture q4 two answers mode 0",
         PICTURE,
         2,
         0,
         4,
         {{120, 620, 190, 21}, {120, 640, 190, 21}},
         {{315, 621, 60, 17}, {315, 641, 60, 17}}},
        {"text q1 two answers",
         TEXT,
         2,
         0,
         1,
         {{550, 10, 195, 21}, {550, 30, 195, 21}},
         {{750, 11, 60, 17}, {750, 31, 60, 17}}},
        {"text q2 two answers",
         TEXT,
         2,
         0,
         2,
         {{550, 60, 195, 21}, {550, 80, 195, 21}},
         {{750, 61, 60, 17}, {750, 81, 60, 17}}},
        {"audio q1 two answers",
         AUDIO,
         2,
         0,
         1,
         {{140, 20, 170, 21}, {140, 40, 170, 21}},
         {{315, 21, 60, 17}, {315, 41, 60, 17}}},
        {"video q2 two answers mode 3",
         VIDEO,
         2,
         3,
         2,
         {{415, 240, 180, 21}, {415, 260, 180, 21}},
         {{600, 241, 60, 17}, {600, 261, 60, 17}}},
    };
    for (const FieldCase& c : cases) {
        QuestionLayout layout = questionLayout(c.quizType, c.answersPerQuestion, c.revealMode, c.q);
        for (int a = 0; a < 2; ++a) {
            EXPECT_EQ(layout.fields[a], c.fields[a]) << c.what << ", answer " << a + 1;
            EXPECT_EQ(layout.verdicts[a], c.verdicts[a]) << c.what << ", answer " << a + 1;
        }
    }
}

TEST(BoardLayout, ColumnLabelRows) {
    struct Case {
        const char* what;
        int quizType, revealMode, q, expectedTop;
    } cases[] = {
        {"picture row 2, mode 0", PICTURE, 0, 4, 622},
        {"picture row 1, mode 2", PICTURE, 2, 1, 292},
        {"audio row 1", AUDIO, 0, 1, 25},
        {"audio row 2", AUDIO, 0, 4, 105},
        // Video: above the number label (at Y - 36), which sits left of the column.
        {"video row 1, mode 0", VIDEO, 0, 1, 200},
        {"text row 2: beside question 4's fields", TEXT, 0, 4, 163},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(columnLabelTop(c.quizType, c.revealMode, c.q), c.expectedTop) << c.what;
    }
    EXPECT_TRUE(columnLabelsShown(TEXT));
    EXPECT_FALSE(columnLabelsShown(7));
    EXPECT_EQ(columnLabelLeft(TEXT), 450);
    EXPECT_EQ(columnLabelLeft(PICTURE), 3);
    EXPECT_TRUE(columnLabelsShown(PICTURE));
    EXPECT_TRUE(columnLabelsShown(AUDIO));
    EXPECT_TRUE(columnLabelsShown(VIDEO));
    // The video pair must not run into the first column's number label.
    QuestionLayout video = questionLayout(VIDEO, 2, 0, 1);
    EXPECT_LE(columnLabelTop(VIDEO, 0, 1) + 2 * kColumnLabelHeight, video.numberLabel.y);
}

TEST(BoardLayout, PicturesCentredInTheirCell) {
    struct Case {
        const char* what;
        int width, height;
        PixelRect expected;
    } cases[] = {
        {"200 x 130", 200, 130, {60, 85, 200, 130}},
        {"260 x 173", 260, 173, {30, 63, 260, 173}},
        {"no picture: the whole cell", 260, 260, {30, 20, 260, 260}},
        {"odd margins round down", 51, 260, {134, 20, 51, 260}},
    };
    PixelRect cell = questionLayout(PICTURE, 1, 0, 1).pictureCell;
    for (const Case& c : cases) {
        EXPECT_EQ(centredInCell(cell, c.width, c.height), c.expected) << c.what;
    }
}

TEST(BoardLayout, RevealPicturePlacement) {
    struct Case {
        const char* what;
        int q, answersPerQuestion, revealMode, width, height;
        PixelRect expected;
    } cases[] = {
        {"q2, one answer, mode 3, 260 x 195", 2, 1, 3, 260, 195, {310, 52, 260, 195}},
        {"q1, mode 1, 195 x 260", 1, 1, 1, 195, 260, {52, 20, 195, 260}},
        {"q5, two answers, mode 1, square", 5, 2, 1, 260, 260, {400, 350, 260, 260}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(revealPictureRect(c.q, c.answersPerQuestion, c.revealMode, c.width, c.height),
                  c.expected)
            << c.what;
    }
}

TEST(BoardLayout, ContentSize) {
    struct Case {
        const char* what;
        int quizType, questionCount, answersPerQuestion, revealMode;
        int width, height;
    } cases[] = {
        {"text, none", TEXT, 0, 1, 0, 830, 25},
        {"text, 4", TEXT, 4, 1, 0, 830, 125},
        {"text, 30, two answers", TEXT, 30, 2, 2, 830, 1525},
        {"text, none, two answers", TEXT, 0, 2, 0, 830, 25},
        {"picture, 1", PICTURE, 1, 1, 0, 830, 355},
        {"picture, 3", PICTURE, 3, 1, 0, 890, 355},
        {"picture, 3, mode 2", PICTURE, 3, 1, 2, 890, 415},
        {"picture, 4", PICTURE, 4, 1, 0, 890, 685},
        {"picture, 4, mode 3", PICTURE, 4, 1, 3, 890, 805},
        {"picture, 2, two answers", PICTURE, 2, 2, 0, 830, 355},
        {"picture, 3, two answers", PICTURE, 3, 2, 0, 980, 355},
        {"video, 2", VIDEO, 2, 1, 4, 830, 355},
        {"video, 4, mode 2", VIDEO, 4, 2, 2, 980, 805},
        {"audio, none", AUDIO, 0, 1, 0, 830, 20},
        {"audio, 1", AUDIO, 1, 1, 0, 830, 100},
        {"audio, 3", AUDIO, 3, 1, 0, 890, 100},
        {"audio, 4", AUDIO, 4, 1, 0, 890, 180},
        {"audio, 6", AUDIO, 6, 2, 0, 980, 180},
        {"picture, 90, mode 2", PICTURE, 90, 1, 2, 890, 11725},
        {"unknown type: width as pictures, no height", 7, 5, 2, 0, 980, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(boardContentWidth(c.quizType, c.questionCount, c.answersPerQuestion), c.width)
            << c.what;
        EXPECT_EQ(
            boardContentHeight(c.quizType, c.questionCount, c.answersPerQuestion, c.revealMode),
            c.height)
            << c.what;
    }
}

TEST(BoardLayout, FieldNumbering) {
    struct Case {
        int fieldId, answersPerQuestion, question, answer;
    } cases[] = {
        {4001, 1, 1, 1}, {4030, 1, 30, 1}, {4090, 1, 90, 1}, {4001, 2, 1, 1},  {4002, 2, 1, 2},
        {4005, 2, 3, 1}, {4006, 2, 3, 2},  {4179, 2, 90, 1}, {4180, 2, 90, 2},
    };
    for (const Case& c : cases) {
        FieldOwner owner = fieldOwner(c.fieldId, c.answersPerQuestion);
        EXPECT_EQ(owner.question, c.question) << c.fieldId << " with " << c.answersPerQuestion;
        EXPECT_EQ(owner.answer, c.answer) << c.fieldId << " with " << c.answersPerQuestion;
        EXPECT_EQ(answerFieldId(fieldIndex(c.question, c.answer, c.answersPerQuestion)), c.fieldId)
            << "back from question " << c.question << " answer " << c.answer;
    }
}

TEST(ShellLayout, CentringTruncatesTowardZero) {
    struct Case {
        const char* what;
        int ref[4], win[4];
        PixelPoint expected;
    } cases[] = {
        {"870 x 650 on a 1024 x 768 desktop", {0, 0, 1024, 768}, {0, 0, 870, 650}, {77, 59}},
        {"odd difference rounds down", {100, 50, 401, 250}, {7, 7, 107, 58}, {200, 124}},
        {"wider than the reference: toward zero", {0, 0, 100, 100}, {0, 0, 301, 100}, {-100, 0}},
        {"taller than the reference", {10, 10, 110, 110}, {0, 0, 100, 203}, {10, -41}},
    };
    for (const Case& c : cases) {
        PixelPoint at = centredOrigin(c.ref[0], c.ref[1], c.ref[2], c.ref[3], c.win[0], c.win[1],
                                      c.win[2], c.win[3]);
        EXPECT_EQ(at.x, c.expected.x) << c.what;
        EXPECT_EQ(at.y, c.expected.y) << c.what;
    }
}

TEST(ShellLayout, MainWindowChildrenAndLinkFont) {
    EXPECT_EQ(boardPlacement(854, 616), (PixelRect{5, 50, 843, 548}));
    EXPECT_EQ(footerPlacement(854, 616), (PixelRect{709, 600, 130, 15}));
    EXPECT_EQ(footerCreationRect(616), (PixelRect{725, 600, 130, 15}));
    EXPECT_EQ(linkFontHeight(18), -13);
    EXPECT_EQ(linkFontHeight(16), -12);
    EXPECT_EQ(linkFontHeight(15), -11);
}

} // namespace
