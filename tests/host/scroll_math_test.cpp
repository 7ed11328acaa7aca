// The board's scroll arithmetic, natively: bar settings, the position of every request on
// both axes, the wheel, and where Tab's row scroll puts the view.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "window/board_layout.h"
#include "window/scroll_math.h"

namespace {

TEST(ScrollMath, BarSettingForBoardAndContent) {
    struct Case {
        const char* what;
        int client, content;
        int pageUnits;
        bool reset;
        int maximum, page;
    } cases[] = {
        {"30 text questions in 548 pixels", 548, 775, 548, false, 773, 547},
        {"board wider than content", 900, 890, 890, true, 888, 889},
        {"board exactly the content", 890, 890, 890, true, 888, 889},
        {"one pixel short", 889, 890, 889, false, 888, 888},
        {"narrowed to 851", 851, 890, 851, false, 888, 850},
        {"template size before the first resize", 127, 2275, 127, false, 2273, 126},
        {"squeezed to nothing: page 0, not -1", 0, 775, 0, false, 773, 0},
        {"no content (unknown quiz type)", 548, 0, 0, true, -2, 0},
    };
    for (const Case& c : cases) {
        BarSetting s = barSetting(c.client, c.content);
        EXPECT_EQ(s.pageUnits, c.pageUnits) << c.what;
        EXPECT_EQ(s.resetPosition, c.reset) << c.what;
        EXPECT_EQ(s.minimum, 0) << c.what;
        EXPECT_EQ(s.maximum, c.maximum) << c.what;
        EXPECT_EQ(s.page, c.page) << c.what;
    }
}

TEST(ScrollMath, LargestPositionShowsExactlyTheLastPage) {
    struct Case {
        int client, content, largest;
    } cases[] = {{548, 775, 227}, {851, 890, 39}, {900, 890, 0}, {889, 890, 1}, {0, 775, 773}};
    for (const Case& c : cases) {
        BarSetting s = barSetting(c.client, c.content);
        BarState bar = {s.minimum, s.maximum, s.page, 0, 0};
        EXPECT_EQ(largestPosition(bar), c.largest) << c.client << " of " << c.content;
    }
}

TEST(ScrollMath, RequestedPositions) {
    // The 30-question board: maximum 773, page 547.
    const BarState at0 = {0, 773, 547, 0, 0};
    const BarState at210 = {0, 773, 547, 210, 400};
    const BarState at500 = {0, 773, 547, 500, 12};
    struct Case {
        const char* what;
        ScrollAxis axis;
        int code;
        BarState bar;
        int expected;
    } cases[] = {
        {"line up at 0 stops at the minimum", SCROLL_DOWN, 0, at0, 0},
        {"line down is 30", SCROLL_DOWN, 1, at210, 240},
        {"line up is 30", SCROLL_DOWN, 0, at210, 180},
        {"page down adds the page", SCROLL_DOWN, 3, at0, 547},
        {"page down past the maximum", SCROLL_DOWN, 3, at500, 773},
        {"page up below 0", SCROLL_DOWN, 2, at210, 0},
        {"page up", SCROLL_DOWN, 2, at500, 0},
        {"thumb position keeps the position", SCROLL_DOWN, 4, at210, 210},
        {"thumb track takes the track position", SCROLL_DOWN, 5, at210, 400},
        {"top", SCROLL_DOWN, 6, at500, 0},
        {"bottom asks for the maximum", SCROLL_DOWN, 7, at0, 773},
        {"end of scrolling moves nothing", SCROLL_DOWN, 8, at210, 210},
        {"the main window's other keys move nothing", SCROLL_DOWN, 0xFFFF, at210, 210},
        {"line right is 1", SCROLL_ACROSS, 1, at210, 211},
        {"line left is 1", SCROLL_ACROSS, 0, at210, 209},
        {"page right", SCROLL_ACROSS, 3, at0, 547},
        {"page left", SCROLL_ACROSS, 2, at500, 0},
        {"thumb track across", SCROLL_ACROSS, 5, at500, 12},
        {"SB_LEFT is not handled across", SCROLL_ACROSS, 6, at500, 500},
        {"SB_RIGHT is not handled across", SCROLL_ACROSS, 7, at0, 0},
        {"end of scrolling across", SCROLL_ACROSS, 8, at500, 500},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(requestedPosition(c.axis, c.code, c.bar), c.expected) << c.what;
    }
}

TEST(ScrollMath, OnlyWholeNotchesOfTheWheel) {
    struct Case {
        unsigned delta;
        int request;
    } cases[] = {{120, 0},    {65416, 1}, {240, -1}, {65296, -1}, {60, -1},
                 {65476, -1}, {0, -1},    {121, -1}, {119, -1},   {65415, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(wheelRequest(c.delta), c.request) << "delta " << c.delta;
    }
}

TEST(ScrollMath, PositionShowingARow) {
    struct Case {
        const char* what;
        int position, view, largest, spanStart, spanEnd, fieldEnd;
        int expected;
    } cases[] = {
        {"row already in view", 100, 500, 1000, 150, 500, 300, 100},
        {"row exactly filling the view", 100, 500, 1000, 100, 600, 300, 100},
        {"row below: its top comes to the top", 0, 537, 1000, 350, 659, 640, 350},
        {"row above: its top comes to the top", 700, 537, 1000, 350, 659, 640, 350},
        {"row taller than the view: the field's end at the bottom", 0, 200, 1000, 350, 659, 640,
         440},
        {"limited to the largest position", 0, 537, 227, 535, 605, 555, 227},
        {"never below 0", 50, 400, 1000, -10, 500, 30, 0},
        {"across: back to the left edge", 39, 833, 57, 0, 290, 290, 0},
        {"across: a field beyond a narrow view", 0, 400, 1000, 0, 715, 715, 315},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            positionShowing(c.position, c.view, c.largest, c.spanStart, c.spanEnd, c.fieldEnd),
            c.expected)
            << c.what;
    }
}

TEST(ScrollMath, RowExtents) {
    struct Case {
        const char* what;
        int quizType, answers, revealMode, count, first;
        int start, end;
    } cases[] = {
        // Text: three lines, from the first verdict label (y - 1) to the third line's bottom.
        {"text, questions 4-6", 0, 1, 0, 90, 4, 84, 155},
        {"text, last row of two lines", 0, 1, 0, 89, 88, 2184, 2230},
        {"text, two answers", 0, 2, 0, 90, 4, 160, 301},
        // Picture: from the cell (Y - 260) to the verdict label (Y + 49), or the reveal
        // label (Y + 121) where reveal labels exist.
        {"picture, row 2", 1, 1, 0, 90, 4, 350, 659},
        {"picture, reveal mode 2", 1, 1, 2, 90, 4, 410, 791},
        {"picture, reveal mode 4 has labels", 1, 1, 4, 90, 4, 350, 731},
        {"picture, reveal mode 1 has none", 1, 1, 1, 90, 4, 350, 659},
        {"picture, two answers", 1, 2, 0, 90, 4, 350, 661},
        {"audio, row 2: down to the stop button", 2, 1, 0, 90, 4, 100, 141},
        {"audio, two answers", 2, 2, 0, 90, 4, 100, 141},
        {"video, row 1: player host to stop button", 3, 1, 0, 90, 1, 30, 280},
    };
    for (const Case& c : cases) {
        Extent e = rowExtent(c.quizType, c.answers, c.revealMode, c.count, c.first);
        EXPECT_EQ(e.start, c.start) << c.what;
        EXPECT_EQ(e.end, c.end) << c.what;
    }
}

TEST(ScrollMath, RowStartsOfTabAndShiftTab) {
    struct Case {
        int t, answers;
        bool starts;
        int question;
    } cases[] = {{1, 1, false, 1},   {2, 1, false, 2},  {4, 1, true, 4},  {7, 1, true, 7},
                 {90, 1, false, 90}, {88, 1, true, 88}, {7, 2, true, 4},  {6, 2, false, 3},
                 {13, 2, true, 7},   {4, 2, false, 2},  {1, 2, false, 1}, {175, 2, true, 88}};
    for (const Case& c : cases) {
        EXPECT_EQ(startsLaterRow(c.t, c.answers), c.starts) << "field " << c.t << ", " << c.answers;
        FieldOwner owner = fieldOwner(answerFieldId(c.t), c.answers);
        EXPECT_EQ(owner.question, c.question) << "field " << c.t;
        if (c.starts) {
            EXPECT_EQ(rowStartQuestion(owner.question), owner.question) << "field " << c.t;
        }
    }
    EXPECT_EQ(rowStartQuestion(6), 4);
    EXPECT_EQ(rowStartQuestion(90), 88);
}

} // namespace
