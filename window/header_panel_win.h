// The header panel: the statics across the top 47 pixels of the main window.
#pragma once

#include <windows.h>

#include "content/quiz.h"

// The program's own web address: the link's text and the page it opens, unless the quiz
// gives its own.
extern const char kAuthorWebAddress[];

// The address the link shows and opens: the quiz's own link when it has one (empty: the
// link is hidden and opens nothing), else kAuthorWebAddress.
const char* shownWebAddress(const Quiz* quiz);

// Creates the twelve header statics on the main window, in their fixed order (the score
// box before the four later statics that share its identifier 150), with the link's own
// underlined font and the hand cursor. Reads the global quiz.
void createHeaderPanel(HWND mainWindow);

// Colours of a header static being painted: sets the device context up and returns the
// header brush, or null when `id` is not a header identifier.
HBRUSH headerPanelColours(HDC dc, int id);
