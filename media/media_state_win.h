// The audio and video layer's share of the process-wide state (g_app.media).
#pragma once

#include <windows.h>

#include "content/quiz.h"
#include "media/media_extract_win.h"
#include "media/video_win.h"

struct IWMPControls;

// Shows one media message (text, caption) and returns once it is closed.
using MediaMessageFn = void (*)(const char* text, const char* caption);

// Makes the media player object of question q. S_OK with *player set, or a failure code.
using PlayerFactoryFn = HRESULT (*)(int question, IWMPPlayer** player);

struct MediaState {
    // The one hidden MCI window holding "quizz.mp3", a child of the board; null when no
    // clip has been played since the last stop.
    HWND audioWindow;
    // Video quizzes, indexed by question 1..90 (entry 0 unused): the static hosting the
    // player, the player, and its transport controls. The references are the program's own,
    // released at shut-down; an entry stays null where no player was made.
    HWND playerHosts[kMaxQuestions + 1];
    IWMPPlayer* videoPlayers[kMaxQuestions + 1];
    IWMPControls* videoControls[kMaxQuestions + 1];

    MediaMessageFn showMessage = showMediaMessage;    // a recorder in tests
    PlayerFactoryFn createPlayer = createMediaPlayer; // a failing one in tests
};
