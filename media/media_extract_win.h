// Clips written from the program's "IMG" resources to the files the players read.
#pragma once

#include <windows.h>

// Shows one media message (text, caption) and returns once it is closed.
using MediaMessageFn = void (*)(const char* text, const char* caption);

// Writes "IMG" resource `resourceId` of `module` to the file of `kind` (MediaKind:
// "quizz.mp3" for audio, "quizz<resourceId - 400>.avi" for video) in the current working
// directory. Returns 1 once the resource was found and read, even when the file could not be
// created or written (that is not reported). Returns 0 after showing, through `show`, the
// kind's message when the resource is missing or cannot be loaded, and without a message
// when it holds no data.
int extractMedia(HMODULE module, int resourceId, int kind, MediaMessageFn show);

// The player's media message: a message box with no owner window and an OK button.
void showMediaMessage(const char* text, const char* caption);
