// The board's numbered controls, found by identifier.
#pragma once

#include <windows.h>

// The board's child with identifier `id`, as GetDlgItem finds it (the first child with that
// identifier), or null. Answer fields, verdict labels and reveal labels are remembered, so
// that grading and scoring, which look up to 360 of them each time, do not list the
// board's children again on every lookup.
HWND boardControl(HWND board, int id);

// Called for every control the board makes after it is made: a numbered control the board
// did not report is not found once the board's children have been remembered.
void rememberBoardControl(HWND board, HWND control);

// Called when the board is destroyed: a later board never sees its remembered controls.
void forgetBoardControls(HWND board);
