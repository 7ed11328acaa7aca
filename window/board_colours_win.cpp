#include "window/board_colours_win.h"

#include <cstring>

#include "checking/grader.h"
#include "content/quiz.h"
#include "resources/resource.h"
#include "window/app_state_win.h"

namespace {

enum BoardColour { ANAGRAM_COLOUR, BRAVO_COLOUR, WRONG_COLOUR, HINT_COLOUR, QUESTION_COLOUR };

const COLORREF kBoardColours[] = {
    RGB(255, 100, 0),   // "Anagramme"
    RGB(0, 255, 0),     // "BRAVO"
    RGB(255, 0, 0),     // "FAUX"
    RGB(255, 203, 38),  // every other hint word
    RGB(255, 255, 192), // question labels
};
const int kBoardColourCount = sizeof kBoardColours / sizeof kBoardColours[0];

// A label is painted with its brush after this procedure returns, so each brush must
// outlive the paint: each is made on first use and kept until the process ends.
HBRUSH g_boardBrushes[kBoardColourCount];

HBRUSH boardBrush(BoardColour colour) {
    if (g_boardBrushes[colour] == nullptr) {
        g_boardBrushes[colour] = CreateSolidBrush(kBoardColours[colour]);
    }
    return g_boardBrushes[colour];
}

INT_PTR transparentOn(HDC dc, HBRUSH brush) {
    if (brush == nullptr) {
        return FALSE;
    }
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(brush);
}

// A verdict label's colour follows the word it shows now: the text is read afresh on every
// paint and compared whole, case and all. "?" (not graded, or empty) keeps the platform's
// colours.
INT_PTR verdictColours(HDC dc, HWND label) {
    char verdict[kTextCapacity] = "";
    GetWindowTextA(label, verdict, kTextCapacity);
    if (strcmp(verdict, kVerdictAnagram) == 0) {
        return transparentOn(dc, boardBrush(ANAGRAM_COLOUR));
    }
    if (strcmp(verdict, kVerdictBravo) == 0) {
        return transparentOn(dc, boardBrush(BRAVO_COLOUR));
    }
    if (strcmp(verdict, kVerdictWrong) == 0) {
        return transparentOn(dc, boardBrush(WRONG_COLOUR));
    }
    if (strcmp(verdict, kVerdictEmpty) == 0) {
        return FALSE;
    }
    return transparentOn(dc, boardBrush(HINT_COLOUR));
}

} // namespace

INT_PTR onBoardCtlColorDialog() {
    return reinterpret_cast<INT_PTR>(g_app.quiz->backgroundBrush);
}

INT_PTR onBoardCtlColorStatic(HDC dc, HWND control) {
    const Quiz* quiz = g_app.quiz;
    int fields = quiz->answersPerQuestion * quiz->questionCount;
    int id = GetWindowLongA(control, GWL_ID);
    if (id > ID_VERDICT_LABEL_BASE && id <= ID_VERDICT_LABEL_BASE + fields) {
        return verdictColours(dc, control);
    }
    if (id == ID_QUESTION_LABEL) {
        return transparentOn(dc, boardBrush(QUESTION_COLOUR));
    }
    if (id == ID_NUMBER_LABEL || id == ID_COLUMN_LABEL ||
        (id > ID_REVEAL_LABEL_BASE && id <= ID_REVEAL_LABEL_BASE + fields)) {
        // Without a brush of its own (the fallback quiz) the board keeps the platform's
        // dialog colours, and so do these labels.
        return transparentOn(dc, static_cast<HBRUSH>(quiz->backgroundBrush));
    }
    return FALSE;
}
