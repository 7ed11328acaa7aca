#include "quizpack/commands/console.h"

#include <conio.h>
#include <cstdlib>
#include <windows.h>

unsigned consoleProcessCount() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2);
}

void waitForKey() {
    _getch();
}

namespace {
UINT gCodePageBefore = 0;

void restoreCodePage() {
    SetConsoleOutputCP(gCodePageBefore);
}
} // namespace

// The console's code page belongs to the console, which outlives quizpack in a command
// prompt: the one it had comes back at exit.
void prepareConsoleOutput() {
    const UINT before = GetConsoleOutputCP();
    if (before == 0 || before == CP_UTF8 || gCodePageBefore != 0) {
        return;
    }
    if (SetConsoleOutputCP(CP_UTF8)) {
        gCodePageBefore = before;
        atexit(restoreCodePage);
    }
}
