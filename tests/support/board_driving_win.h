// Driving a real, shown question board: its size, its scroll bars, and where its controls
// stand against their content positions.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "content/quiz.h"
#include "tests/support/player_windows_win.h"

namespace test_support {

// The board the scroll tests drive most: 30 text questions (content 775 high) shown in a
// board 700 x 548, so that its vertical positions run from 0 to 227.
class ThirtyQuestionsShown : public PlayerBoard {
  public:
    ThirtyQuestionsShown();
};

// Sizes the board, as the main window's resizing does, so that its client area is w x h.
void setBoardClient(HWND board, int w, int h);

SCROLLINFO barInfo(HWND board, int bar);
int position(HWND board, int bar);
// A scroll request `code` on bar SB_VERT or SB_HORZ, as the bar sends it.
void request(HWND board, int bar, int code);

// Success when every answer field and verdict label of the board stands at its place in the
// content less both scroll positions.
::testing::AssertionResult controlsInPlace(HWND board, const Quiz* quiz);

// A control lies inside the board's client area, down (and across). Only its part within
// the content counts: the second field of the last question of a two-answer text quiz
// reaches one pixel below the content, where no scroll position can show it.
bool fullyInView(HWND board, HWND control, bool across);

} // namespace test_support
