// The question board's scrolling: its two bars follow its size, scroll requests move the
// content (every child control and the pixels already drawn) by whole scroll units, and a
// wheel notch becomes a line request.
#pragma once

#include <windows.h>

// Sets both bars for the board's present client size and g_app's content size. When the
// content fits across (or down) the bar's position goes back to 0 without redrawing and
// nothing is moved here: WM_SIZE moves the content by what the positions lost.
void updateScrollRanges(HWND board);

// WM_SIZE: new ranges, then the content moves back by what either position lost (a range
// that shrank lowers the position). Returns FALSE.
INT_PTR onBoardSize(HWND board);

// WM_VSCROLL (bar SB_VERT) and WM_HSCROLL (bar SB_HORZ): the scroll code in the low word of
// wParam moves that bar's position and the content with it. Returns FALSE.
INT_PTR onBoardScroll(HWND board, int bar, WPARAM wParam);

// WM_MOUSEWHEEL: one whole notch posts a line request to the board. Returns FALSE, so the
// dialog's default handling also passes the wheel on to the main window.
INT_PTR onBoardWheel(HWND board, WPARAM wParam);

// Tab or Shift+Tab is about to land on the first field (index t, not 1) of a row of three
// questions: brings that row into view, and its first field with it, down and across.
void showRowOfField(HWND board, int t);
