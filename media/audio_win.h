// Audio questions: one clip at a time, played by a hidden MCI window on the board.
#pragma once

#include <windows.h>

// Play button of question q: stops whatever clip plays, writes question q's clip to
// "quizz.mp3" and plays it in a new hidden MCI window, a child of `board`. When the clip
// resource is missing the message is shown and nothing plays.
void playAudio(HWND board, int question);

// Any stop button, and the end of the program: stops and destroys the MCI window and deletes
// "quizz.mp3". Does nothing at all when no clip has been played since the last stop.
void stopAudio();
