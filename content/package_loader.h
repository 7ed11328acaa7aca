// Loading the quiz from its "PATCH" resources: the portable reading of the three resources'
// bytes, and the Windows half that finds them in a module.
#pragma once

#include <cstdint>

#include "content/quiz.h"

// Shows one loader message (text, caption) and waits until it is closed.
using LoaderMessageFn = void (*)(const char* text, const char* caption);

// One "PATCH" resource as the loader finds it: `found` is false when the quiz has none, and
// `size` 0 when it has one without bytes.
struct PatchBytes {
    bool found;
    const uint8_t* bytes;
    int32_t size;
};

// Fills a freshly initialised quiz from the packed quiz package, code table and grading
// extras, as the player reads them at start, showing every message through `show` in the
// player's order. Returns whether a package was read (the Quiz then has its colour; the
// caller makes any brush of it).
bool loadQuizFromPatches(Quiz* quiz, const PatchBytes& package, const PatchBytes& codeTable,
                         const PatchBytes& extras, LoaderMessageFn show);

// The player's own message: a message box with no owner, the caption and an OK button.
void showLoaderMessage(const char* text, const char* caption);

// Fills a freshly initialised quiz from "PATCH" 104 and 105 of `module` (an HMODULE:
// the program itself, or any quiz executable or resource DLL loaded as data), and, when a
// package was read, from its optional "PATCH" 106 (other forms, tolerances, link), showing
// every message through `show`. Creates the background brush when a package was read.
void loadQuiz(Quiz* quiz, void* module, LoaderMessageFn show = showLoaderMessage);
