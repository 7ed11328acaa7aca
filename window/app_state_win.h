// The process-wide state of the player: one record, reachable from every window procedure.
#pragma once

#include <windows.h>

#include "content/quiz.h"

struct AppState {
    HINSTANCE instance;      // the program's module, stored first thing at start
    Quiz* quiz;              // created before any window, freed after the message loop
    HWND mainWindow;         // the "WindowsApp" top-level window
    HWND board;              // the question board (dialog 1001)
    int boardVirtualWidth;   // size of the board's scrollable content, in pixels
    int boardVirtualHeight;  // stays 0 for a quiz type outside 0..3
};

extern AppState g_app;
