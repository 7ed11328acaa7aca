// The question board's scroll arithmetic: bar settings for a board size, the position each
// scroll request asks for, the wheel's notches, and where a row must be scrolled to be
// seen. Pure functions of integers, in scroll units (one unit is one pixel).
#pragma once

constexpr int kScrollUnit = 1;         // pixels per scroll unit
constexpr int kVerticalLine = 30;      // units moved by a vertical line request
constexpr int kHorizontalLine = 1;     // units moved by a horizontal line request
constexpr int kWheelNotchUp = 120;     // the wheel's delta for one notch away from the user
constexpr int kWheelNotchDown = 65416; // the same delta (-120) read as an unsigned word

// Scroll codes, as the bars and the keyboard send them in the low word of wParam.
enum ScrollCode {
    SCROLL_LINE_BACK = 0,  // SB_LINEUP, SB_LINELEFT
    SCROLL_LINE_ON = 1,    // SB_LINEDOWN, SB_LINERIGHT
    SCROLL_PAGE_BACK = 2,  // SB_PAGEUP, SB_PAGELEFT
    SCROLL_PAGE_ON = 3,    // SB_PAGEDOWN, SB_PAGERIGHT
    SCROLL_THUMB_DONE = 4, // SB_THUMBPOSITION
    SCROLL_THUMB_DRAG = 5, // SB_THUMBTRACK
    SCROLL_TO_START = 6,   // SB_TOP (vertical only)
    SCROLL_TO_END = 7,     // SB_BOTTOM (vertical only)
};

enum ScrollAxis { SCROLL_ACROSS, SCROLL_DOWN };

// What one bar is set to for a visible size and a content size, both in pixels: the page
// (the visible units) is the client size, cut to the content when the content fits, in
// which case the position goes back to 0. The bar itself gets maximum content - 2 and page
// pageUnits - 1, so the platform's own limit (maximum - page + 1) lets the position reach
// exactly content - pageUnits.
struct BarSetting {
    int pageUnits;      // pageWidth or pageHeight
    bool resetPosition; // the content fits: position 0, set without redrawing
    int minimum;        // always 0
    int maximum;
    int page; // never below 0, so a board squeezed to nothing (minimised) keeps its place
};
BarSetting barSetting(int clientPixels, int contentPixels);

// A bar's state as the platform reports it.
struct BarState {
    int minimum;
    int maximum;
    int page;
    int position;
    int trackPosition;
};

// The position a request asks for on one axis, limited to the bar's maximum and then to its
// minimum (the platform then applies its own, lower, limit). Codes the axis does not know
// (SB_ENDSCROLL, SB_LEFT and SB_RIGHT across, 0xFFFF) keep the present position.
int requestedPosition(ScrollAxis axis, int code, const BarState& bar);

// The largest position the platform lets the bar take: maximum - page + 1, never below the
// minimum.
int largestPosition(const BarState& bar);

// The scroll request a wheel delta (the high word of wParam, unsigned) stands for: exactly
// one notch up or down; -1 for anything else (several notches at once, a fraction of one).
int wheelRequest(unsigned delta);

// Where to put a view of `viewSize` pixels so that a span of content (a row) is seen, and
// within it a field: nothing moves when the whole span is already in the view; otherwise
// the span's start comes to the start of the view, unless that would leave the field's end
// outside it, in which case the field's end comes to the end of the view. The result is
// kept within 0 .. largest.
int positionShowing(int position, int viewSize, int largest, int spanStart, int spanEnd,
                    int fieldEnd);

// The vertical extent, in pixels of content, of the row of three questions starting with
// question `first` (1, 4, 7, ...; in text quizzes three consecutive lines): from the top of
// its highest control to the bottom of its lowest, over the questions first .. first + 2
// that exist. Pictures are counted as their full cells.
struct Extent {
    int start;
    int end;
};
Extent rowExtent(int quizType, int answersPerQuestion, int revealMode, int questionCount,
                 int first);

// The first question of the row holding question q.
inline int rowStartQuestion(int q) {
    return q - (q - 1) % 3;
}

// True when field index t (1 .. N) is the first field of a row of three questions but not
// field 1: Tab and Shift+Tab bring that row into view.
inline bool startsLaterRow(int t, int answersPerQuestion) {
    return t != 1 && t % (answersPerQuestion * 3) == 1;
}
