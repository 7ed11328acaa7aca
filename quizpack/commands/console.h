// quizpack started from Windows' Explorer rather than from a command prompt: a double-click
// gives it a console window of its own, which closes the moment it exits.
#pragma once

// Whether quizpack should show its help and wait for a key before it exits: started with
// no arguments (`argc` counts the program) on a console that only it is attached to
// (`consoleProcesses`, as GetConsoleProcessList counts them; 0 when there is no console).
bool waitsBeforeClosing(int argc, unsigned consoleProcesses);

// How many processes share quizpack's console; 0 where there is none or it cannot be told.
unsigned consoleProcessCount();

// Waits for one key press on the console.
void waitForKey();

// Makes the console show the UTF-8 quizpack writes (accented messages, the author's texts)
// until quizpack exits; nothing where the console already does, or outside Windows.
void prepareConsoleOutput();
