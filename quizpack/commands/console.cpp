#include "quizpack/commands/console.h"

bool waitsBeforeClosing(int argc, unsigned consoleProcesses) {
    // Started from a command prompt, the console also holds the prompt's own process.
    return argc < 2 && consoleProcesses == 1;
}

#if !defined(_WIN32)
// Elsewhere quizpack always runs in a terminal that outlives it.
unsigned consoleProcessCount() {
    return 0;
}

void waitForKey() {}

void prepareConsoleOutput() {}
#endif
