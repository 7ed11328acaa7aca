// The audio and video layer's state: one record, kept by its owner (the application holds
// one for the whole run) and handed to every audio and video operation.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "content/quiz.h"
#include "media/media_extract_win.h"
#include "media/video_win.h"

struct IWMPControls;

// Makes the media player object of question q. S_OK with *player set, or a failure code.
using PlayerFactoryFn = HRESULT (*)(int question, IWMPPlayer** player);

// atl.dll's entry that hosts an ActiveX control in a window (video quizzes).
using AtlAxAttachControlFn = HRESULT(WINAPI*)(IUnknown* control, HWND host, IUnknown** container);

struct MediaState {
    // The one hidden MCI window holding "quizz.mp3", a child of the board; null when no
    // clip has been played since the last stop.
    HWND audioWindow = nullptr;
    // Video quizzes, indexed by question 1..90 (entry 0 unused): the static hosting the
    // player, the player, and its transport controls. The references are the program's own,
    // released at shut-down; an entry stays null where no player was made.
    HWND playerHosts[kMaxQuestions + 1] = {};
    IWMPPlayer* videoPlayers[kMaxQuestions + 1] = {};
    IWMPControls* videoControls[kMaxQuestions + 1] = {};

    MediaMessageFn showMessage = showMediaMessage;    // a recorder in tests
    PlayerFactoryFn createPlayer = createMediaPlayer; // a failing one in tests
    // Video quizzes: taken from atl.dll at start-up, null otherwise (players then stay
    // unattached).
    AtlAxAttachControlFn atlAxAttachControl = nullptr;
};
