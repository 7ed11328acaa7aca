// What the board asks of the audio and video layer.
#pragma once

#include <windows.h>

// Video quizzes, while the board is built: the media player of question q inside its
// player host (9900 + q), with its clip loaded and stopped. False when no player can be
// made; the board then builds nothing more.
bool createQuestionPlayer(HWND board, int question);

// A click on play button 6000 + q of an audio or video quiz.
void playQuestionMedia(HWND board, int question);

// A click on any stop button of an audio or video quiz.
void stopQuestionMedia(HWND board);
