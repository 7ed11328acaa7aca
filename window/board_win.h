// The question board: a modeless child dialog (template 1001) holding every question.
#pragma once

#include <windows.h>

// The board's dialog procedure. WM_INITDIALOG builds every control of every question and
// grades each answer field once; WM_COMMAND routes the play and stop buttons to the media
// layer. Every other message returns FALSE.
INT_PTR CALLBACK boardDialogProc(HWND board, UINT message, WPARAM wParam, LPARAM lParam);
