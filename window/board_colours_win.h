// The question board's colours: its surface, its verdict labels by the word they show, and
// its question, number, column and reveal labels.
#pragma once

#include <windows.h>

// WM_CTLCOLORDLG: the quiz's background brush, or FALSE (the platform's dialog colour)
// when the quiz has none.
INT_PTR onBoardCtlColorDialog();

// WM_CTLCOLORSTATIC for a static of the board: a brush that stays valid for the rest of the
// process, with the device context's background made transparent; or FALSE, leaving the
// platform's default colours and the device context untouched.
INT_PTR onBoardCtlColorStatic(HDC dc, HWND control);
