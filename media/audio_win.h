// Audio questions: one clip at a time, played by a hidden MCI window on the board.
#pragma once

#include <windows.h>

struct MediaState;

// Play button of question q: stops whatever clip plays, writes question q's clip ("IMG"
// 400 + q of `instance`, the program's module) to "quizz.mp3" and plays it in a new hidden
// MCI window, a child of `board`, kept as media.audioWindow. When the clip resource is
// missing, media.showMessage shows the message and nothing plays.
void playAudio(MediaState& media, HINSTANCE instance, HWND board, int question);

// Any stop button, and the end of the program: stops and destroys media.audioWindow and
// deletes "quizz.mp3". Does nothing at all when no clip has been played since the last stop.
void stopAudio(MediaState& media);
