// The player's entry point: one quiz, one main window, one message loop.
#include <windows.h>

#include "window/shell_win.h"

// The C runtime's start-up passes the show command of the start-up information when it
// carries one, else SW_SHOWDEFAULT.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return runPlayer(instance, showCommand);
}
