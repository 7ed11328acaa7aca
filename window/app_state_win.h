// The process-wide state of the player: one record, reachable from every window procedure.
#pragma once

#include <windows.h>

#include "content/quiz.h"
#include "media/media_state_win.h"

// Opens the author's web address; ShellExecuteA in the player, a recorder in tests.
using WebAddressOpener = void (*)(const char* address);

// The player's own opener: the address in the default browser. Without a browser nothing
// happens; the result is not looked at.
void openInBrowser(const char* address);

struct AppState {
    HINSTANCE instance = nullptr; // the program's module, stored first thing at start
    Quiz* quiz = nullptr;         // created before any window, freed after the message loop
    HWND mainWindow = nullptr;    // the "WindowsApp" top-level window
    HWND board = nullptr;         // the question board (dialog 1001)
    int boardVirtualWidth = 0;    // size of the board's scrollable content, in pixels
    int boardVirtualHeight = 0;   // stays 0 for a quiz type outside 0..3

    WebAddressOpener openWebAddress = openInBrowser;

    // Kept for the rest of the process once made: the header's and the footer's brushes
    // (made on first paint), the link's font, the play and stop icons (audio and video
    // boards), and the edit class's own procedure that every answer field passes on to.
    HBRUSH headerBrush = nullptr;
    HBRUSH footerBrush = nullptr;
    HFONT linkFont = nullptr;
    HICON playIcon = nullptr;
    HICON stopIcon = nullptr;
    WNDPROC savedEditProc = nullptr;

    // The audio window, the video players and atl.dll's hosting entry (audio and video
    // quizzes), handed to the media layer by the board and the shell.
    MediaState media;
};

extern AppState g_app;
