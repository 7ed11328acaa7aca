// Clips written from the program's "IMG" resources to the files the players read.
#pragma once

// Writes "IMG" resource `resourceId` of the program (g_app.instance) to the file of `kind`
// (MediaKind: "quizz.mp3" for audio, "quizz<resourceId - 400>.avi" for video) in the current
// working directory. Returns 1 once the resource was found and read, even when the file could
// not be created or written (that is not reported). Returns 0 after showing, through
// g_app.media.showMessage, the kind's message when the resource is missing or cannot be
// loaded, and without a message when it holds no data.
int extractMedia(int resourceId, int kind);

// The player's media message: a message box with no owner window and an OK button.
void showMediaMessage(const char* text, const char* caption);
