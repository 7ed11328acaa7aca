// The main window: footer, header panel and question board, keyboard and wheel scrolling
// forwarded to the board, the web link, and saving the answers on close.
#pragma once

#include <windows.h>

extern const char kMainWindowClass[]; // "WindowsApp"
extern const char kVersionFooterText[];

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Places the board at (5, 50) and the footer at the bottom right for the present client
// size. Runs on every WM_SIZE, and once by start-up right after the board exists.
void layOutMainWindow(HWND window);

// The scroll request the main window sends the board for a key: SB_PAGEUP, SB_PAGEDOWN,
// SB_BOTTOM, SB_TOP, SB_LINEUP or SB_LINEDOWN, and 0xFFFF (moves nothing) for any other.
int scrollRequestForKey(WPARAM virtualKey);
constexpr int kScrollNothing = 0xFFFF;
