// The answer fields: edit controls whose procedure is replaced by answerFieldProc.
#pragma once

#include <windows.h>

// Characters a field selects when it receives the focus.
constexpr int kSelectedOnEntry = 25;

// Every answer field's procedure. Entering a field selects its first 25 characters;
// leaving it grades it. Return and Tab characters never reach the text. On release of a
// key (or on its press with Alt held): Tab and Shift+Tab move round the fields, Return
// grades (and returns 1), Page Up and Up, Page Down and Down page the board, F1 runs
// tryTextEverywhere. Everything else is passed on to the edit control's own procedure
// (g_app.savedEditProc), whose result is returned.
LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);

// Installs answerFieldProc on a new field and keeps the edit procedure it replaces (the
// first one seen; every field shares it).
void subclassAnswerField(HWND field);
