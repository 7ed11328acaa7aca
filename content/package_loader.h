// Loading the quiz from a module's "PATCH" resources (Windows).
#pragma once

#include "content/quiz.h"

// Shows one loader message (text, caption) and waits until it is closed.
using LoaderMessageFn = void (*)(const char* text, const char* caption);

// The player's own message: a message box with no owner, the caption and an OK button.
void showLoaderMessage(const char* text, const char* caption);

// Fills a freshly initialised quiz from "PATCH" 104 and 105 of `module` (an HMODULE:
// the program itself, or any quiz executable or resource DLL loaded as data), and, when a
// package was read, from its optional "PATCH" 106 (other forms, tolerances, link), showing
// every message through `show`. Creates the background brush when a package was read.
void loadQuiz(Quiz* quiz, void* module, LoaderMessageFn show = showLoaderMessage);
