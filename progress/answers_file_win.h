// The answers file: typed answers written on close, read back at start. The file lives in
// the current directory under the program's own name ending in "txt" (quiz.exe: quiz.txt).
#pragma once

#include <windows.h>

#include <cstdio>

#include "content/quiz.h"

// The running program's file name without its directory, into `buffer` (`size` bytes).
// Empty when the name cannot be had whole (no module name, or longer than the buffer).
void moduleBaseName(char* buffer, DWORD size);

// Saves every answer field of the board (4001 .. 4000 + N, N = answersPerQuestion x
// questionCount of `quiz`), one line each; a field that does not exist is saved as "*".
// The lines go to a temporary file beside the answers file ("<name>.tmp"), which replaces
// the answers file only once it is complete and flushed: a failure at any point leaves the
// previous answers file as it was and no temporary file behind. A read-only answers file is
// not replaced. Nothing is reported to the player; the result (true when the answers file
// was replaced) is for callers that care; false at once without a quiz.
bool writeAnswersFile(const Quiz* quiz, HWND board);

// Saved answers being read while the board creates its fields.
struct SavedAnswers {
    FILE* file; // null when there is no answers file: every field starts empty
};

// Opens the answers file of the running program in the current directory for reading.
// A missing file is no error: saved->file stays null. Always pair with closeSavedAnswers,
// also when the board's initialisation ends early.
void openSavedAnswers(SavedAnswers* saved);

// The next saved answer into `text` (260 bytes), one line per call in field creation order,
// a line "*" read as empty; empty when there is no file or no line left.
void readSavedAnswer(SavedAnswers* saved, char* text);

// Closes the file, if open; saved->file is null afterwards. Safe to call twice.
void closeSavedAnswers(SavedAnswers* saved);
