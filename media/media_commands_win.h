// What the board asks of the audio and video layer.
#pragma once

#include <windows.h>

struct MediaState;

// Video quizzes, while the board is built: the media player of question q inside its
// player host (9900 + q), with its clip (from `instance`, the program's module) loaded and
// stopped. False when no player can be made; the board then builds nothing more.
bool createQuestionPlayer(MediaState& media, HINSTANCE instance, HWND board, int question);

// A click on play button 6000 + q of a quiz of `quizType`: audio or video plays question
// q's clip from `instance`; any other type does nothing.
void playQuestionMedia(MediaState& media, HINSTANCE instance, int quizType, HWND board,
                       int question);

// A click on any stop button of a quiz of `quizType` (audio or video; others do nothing).
void stopQuestionMedia(MediaState& media, int quizType);
