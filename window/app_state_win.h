// The process-wide state of the player: one record, reachable from every window procedure.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "content/quiz.h"
#include "media/media_state_win.h"

// atl.dll's entry that hosts an ActiveX control in a window (video quizzes).
using AtlAxAttachControlFn = HRESULT(WINAPI*)(IUnknown* control, HWND host, IUnknown** container);

// Opens the author's web address; ShellExecuteA in the player, a recorder in tests.
using WebAddressOpener = void (*)(const char* address);

struct AppState {
    HINSTANCE instance;     // the program's module, stored first thing at start
    Quiz* quiz;             // created before any window, freed after the message loop
    HWND mainWindow;        // the "WindowsApp" top-level window
    HWND board;             // the question board (dialog 1001)
    int boardVirtualWidth;  // size of the board's scrollable content, in pixels
    int boardVirtualHeight; // stays 0 for a quiz type outside 0..3

    AtlAxAttachControlFn atlAxAttachControl; // video quizzes only; null otherwise
    WebAddressOpener openWebAddress;

    // Kept for the rest of the process once made: the header's and the footer's brushes
    // (made on first paint), the link's font, the play and stop icons (audio and video
    // boards), and the edit class's own procedure that every answer field passes on to.
    HBRUSH headerBrush;
    HBRUSH footerBrush;
    HFONT linkFont;
    HICON playIcon;
    HICON stopIcon;
    WNDPROC savedEditProc;

    MediaState media; // the audio window and the video players (audio and video quizzes)
};

extern AppState g_app;
