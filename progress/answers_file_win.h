// The answers file: typed answers written on close, read back at start.
#pragma once

#include <windows.h>

#include <cstdio>

// Writes one line per answer field of the board (fields 4001 .. 4000 + N).
void writeAnswersFile(HWND board);

// Saved answers being read while the board creates its fields.
struct SavedAnswers {
    FILE* file;  // null when there is no answers file: every field starts empty
};

// Opens the answers file of the running program in the current directory.
void openSavedAnswers(SavedAnswers* saved);

// The next saved answer into text (260 bytes): one line per call, "*" read as empty;
// empty when the file is closed or exhausted.
void readSavedAnswer(SavedAnswers* saved, char* text);

void closeSavedAnswers(SavedAnswers* saved);
