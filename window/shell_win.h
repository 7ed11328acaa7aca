// The application shell: start-up, the message loop and the shut-down order.
#pragma once

#include <windows.h>

#include "content/quiz.h"

// The whole life of the player: loads the quiz from the program's resources, opens the
// window, runs the loop, cleans up. Returns the exit code: the quit message's wParam
// (0 after a normal close); 0 when the window class cannot be registered; 1 when a video
// quiz finds no atl.dll or no AtlAxAttachControl in it, or the main window cannot be made.
int runPlayer(HINSTANCE instance, int showCommand);

// Registers "WindowsApp" with the main window procedure. False when registration fails.
bool registerMainWindowClass(HINSTANCE instance);

// The 870 x 650 main window titled with the quiz's title, at CW_USEDEFAULT (not yet
// centred). Its creation builds the footer and the header and sets the board's content
// size in g_app. Records it as g_app.mainWindow.
HWND createMainWindow(HINSTANCE instance, const Quiz* quiz);

// The question board from dialog 1001 inside the main window, built (every control made,
// every pre-filled answer graded) and laid out. Records it as g_app.board.
HWND createQuestionBoard(HWND mainWindow);

// Moves `window`, without resizing it, so that it is centred over `reference`'s window
// rectangle.
void centreWindow(HWND window, HWND reference);

// Video quizzes: loads atl.dll, takes AtlAxAttachControl into g_app and initialises COM.
// False (with nothing left loaded) when the DLL or its entry is missing.
bool startVideoHosting(HMODULE* atl);

// Video quizzes, after the loop: the clip files go, then the main window with the board
// and its players, then COM, and atl.dll last, since the players' code lives in it.
void stopVideoHosting(HWND mainWindow, HMODULE atl);
