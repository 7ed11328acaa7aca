#include "quizpack/commands/console.h"

#include <conio.h>
#include <windows.h>

unsigned consoleProcessCount() {
    DWORD processes[2];
    return GetConsoleProcessList(processes, 2);
}

void waitForKey() {
    _getch();
}
