// The board's colours, read back from the real board: the brush its dialog procedure
// returns for each static (its colour through GetObject), the device context's background
// mode, and the pixels of a shown board.
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/board_win.h"

using namespace test_support;

namespace {

const COLORREF kBackground = RGB(10, 120, 200);
const COLORREF kUntouched = RGB(1, 2, 3);
const COLORREF kNoBrush = 0xFFFFFFFF;

// WM_CTLCOLORSTATIC handed to the board's dialog procedure for `control` with a fresh
// device context: the returned brush's colour (kNoBrush for FALSE, which lets the dialog
// manager paint in the platform's colours) and whether the background became transparent.
// The second paint must get the very same brush: brushes are made once.
struct Painted {
    COLORREF brush;
    bool transparent;
    bool sameBrushAgain;
};

Painted paintStatic(HWND board, HWND control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, kUntouched);
    auto send = [&] {
        return reinterpret_cast<HBRUSH>(boardDialogProc(board, WM_CTLCOLORSTATIC,
                                                        reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(control)));
    };
    HBRUSH brush = send();
    Painted painted = {brush == nullptr ? kNoBrush : brushColour(brush),
                       GetBkMode(dc) == TRANSPARENT, send() == brush};
    EXPECT_EQ(GetTextColor(dc), kUntouched) << "the text colour is never set";
    DeleteDC(dc);
    return painted;
}

Quiz* quizWithBackground(int quizType, int answers, int revealMode, int count) {
    Quiz* quiz = makeNumberedQuiz(quizType, answers, revealMode, count);
    quiz->backgroundColour = kBackground;
    quiz->backgroundBrush = CreateSolidBrush(kBackground);
    return quiz;
}

TEST(BoardColours, VerdictLabelsByTheirWord) {
    PlayerBoard b(quizWithBackground(QUIZ_TEXT, 1, REVEAL_NOTHING, 2));
    HWND label = GetDlgItem(b.board(), 5002);
    struct Case {
        const char* text;
        COLORREF brush;
    } cases[] = {
        // clang-format off
        {"Anagramme", RGB(255, 100, 0)},
        {"BRAVO", RGB(0, 255, 0)},
        {"FAUX", RGB(255, 0, 0)},
        {"?", kNoBrush},
        {"Quasiment", RGB(255, 203, 38)},
        {"Presque", RGB(255, 203, 38)},
        {"Trop long", RGB(255, 203, 38)},
        {"Trop court", RGB(255, 203, 38)},
        {"pas loin", RGB(255, 203, 38)},
        {"yade lid\xE9" "e", RGB(255, 203, 38)},
        {"bravo: compared with its case", RGB(255, 203, 38)},
        {"BRAVO ", RGB(255, 203, 38)},
        {"??", RGB(255, 203, 38)},
        {"", RGB(255, 203, 38)},
        // clang-format on
    };
    for (const Case& c : cases) {
        SetWindowTextA(label, c.text);
        Painted painted = paintStatic(b.board(), label);
        EXPECT_EQ(painted.brush, c.brush) << "\"" << c.text << "\"";
        EXPECT_EQ(painted.transparent, c.brush != kNoBrush) << "\"" << c.text << "\"";
        EXPECT_TRUE(painted.sameBrushAgain) << "\"" << c.text << "\"";
    }
}

// Each family of statics, found on boards of the kinds that have them.
TEST(BoardColours, OtherStaticsAndTheSurface) {
    struct Case {
        const char* what;
        int quizType, answers, revealMode;
        int id;
        const char* text; // for the shared identifiers
        bool withBrush;   // the quiz has a background brush
        COLORREF brush;
    } cases[] = {
        // clang-format off
        {"question label", QUIZ_TEXT, 1, 0, 3000, "Question 2", true, RGB(255, 255, 192)},
        {"question label, no quiz brush", QUIZ_TEXT, 1, 0, 3000, "Question 1", false, RGB(255, 255, 192)},
        {"number label", QUIZ_TEXT, 1, 0, 153, "2.", true, kBackground},
        {"number label, no quiz brush", QUIZ_TEXT, 1, 0, 153, "2.", false, kNoBrush},
        {"column label", QUIZ_AUDIO, 2, 0, 156, "Colonne deux", true, kBackground},
        {"column label, no quiz brush", QUIZ_AUDIO, 2, 0, 156, "Colonne un", false, kNoBrush},
        {"reveal label", QUIZ_PICTURE, 1, 2, 8003, nullptr, true, kBackground},
        {"reveal label, no quiz brush", QUIZ_PICTURE, 1, 2, 8001, nullptr, false, kNoBrush},
        {"picture control", QUIZ_PICTURE, 1, 2, 9002, nullptr, true, kNoBrush},
        {"verdict, no quiz brush", QUIZ_TEXT, 1, 0, 5001, nullptr, false, kNoBrush},
        {"last verdict of two answers", QUIZ_TEXT, 2, 0, 5006, nullptr, true, kNoBrush},
        // clang-format on
    };
    for (const Case& c : cases) {
        Quiz* quiz = c.withBrush ? quizWithBackground(c.quizType, c.answers, c.revealMode, 3)
                                 : makeNumberedQuiz(c.quizType, c.answers, c.revealMode, 3);
        PlayerBoard b(quiz);
        HWND board = b.board();
        HWND control =
            c.text != nullptr ? childWithText(board, c.id, c.text) : GetDlgItem(board, c.id);
        ASSERT_NE(control, nullptr) << c.what;
        if (c.id > 5000 && c.id < 6000) {
            // A verdict label keeps its fixed colours whatever the quiz's brush.
            SetWindowTextA(control, "BRAVO");
            EXPECT_EQ(paintStatic(board, control).brush, RGB(0, 255, 0)) << c.what;
            SetWindowTextA(control, "?");
        }
        Painted painted = paintStatic(board, control);
        EXPECT_EQ(painted.brush, c.brush) << c.what;
        EXPECT_EQ(painted.transparent, c.brush != kNoBrush) << c.what;
        HDC dc = CreateCompatibleDC(nullptr);
        INT_PTR surface = boardDialogProc(board, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(board));
        EXPECT_EQ(surface, reinterpret_cast<INT_PTR>(quiz->backgroundBrush)) << c.what;
        DeleteDC(dc);
    }
}

// The numbered ranges run up to 5000 + N and 8000 + N (N fields); statics outside them
// keep the platform's colours, even with the identifier of a label of a larger quiz.
TEST(BoardColours, IdentifiersAtTheEdgesOfTheRanges) {
    PlayerBoard b(quizWithBackground(QUIZ_PICTURE, 2, 4, 3)); // N = 6
    HWND board = b.board();
    struct Case {
        int id;
        COLORREF brush;
    } cases[] = {
        // clang-format off
        {5000, kNoBrush},
        {5001, RGB(0, 255, 0)},
        {5006, RGB(0, 255, 0)},
        {5007, kNoBrush},
        {8000, kNoBrush},
        {8006, kBackground},
        {8007, kNoBrush},
        {4001, kNoBrush},
        {77, kNoBrush},
        // clang-format on
    };
    for (const Case& c : cases) {
        HWND stranger =
            CreateWindowExA(0, "Static", "BRAVO", WS_CHILD, 0, 0, 10, 10, board,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), nullptr, nullptr);
        Painted painted = paintStatic(board, stranger);
        EXPECT_EQ(painted.brush, c.brush) << "identifier " << c.id;
        EXPECT_EQ(painted.transparent, c.brush != kNoBrush) << "identifier " << c.id;
        DestroyWindow(stranger);
    }
}

COLORREF pixelIn(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// What the player sees on a shown board, with the quiz's brush and without one (the
// fallback quiz): the surface and the number labels in the quiz's colour or the dialog's
// own, the verdict labels in the colour of their word either way, a "?" label in the
// dialog's own colour.
TEST(BoardColours, PaintedPixels) {
    const COLORREF dialog = GetSysColor(COLOR_BTNFACE);
    struct Case {
        const char* what;
        bool withBrush;
        COLORREF surface;
    } cases[] = {
        // clang-format off
        {"quiz brush", true, kBackground},
        {"fallback quiz", false, dialog},
        // clang-format on
    };
    const char* words[] = {"BRAVO", "FAUX", "Anagramme", "Trop long", "?"};
    const COLORREF colours[] = {RGB(0, 255, 0), RGB(255, 0, 0), RGB(255, 100, 0), RGB(255, 203, 38),
                                dialog};
    for (const Case& c : cases) {
        PlayerBoard b(c.withBrush ? quizWithBackground(QUIZ_TEXT, 1, REVEAL_NOTHING, 5)
                                  : makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 5));
        HWND board = b.board();
        b.show();
        for (int k = 1; k <= 5; ++k) {
            SetDlgItemTextA(board, verdictLabelId(answerFieldId(k)), words[k - 1]);
        }
        RedrawWindow(board, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pumpMessages();
        for (int k = 1; k <= 5; ++k) {
            EXPECT_EQ(pixelIn(GetDlgItem(board, verdictLabelId(answerFieldId(k))), 2, 2),
                      colours[k - 1])
                << c.what << ": " << words[k - 1];
        }
        EXPECT_EQ(pixelIn(board, 3, 3), c.surface) << c.what << ": the board's surface";
        EXPECT_EQ(pixelIn(childWithText(board, 153, "1."), 1, 1), c.surface)
            << c.what << ": a number label";
        EXPECT_EQ(pixelIn(childWithText(board, 3000, "Question 1"), 2, 2), RGB(255, 255, 192))
            << c.what << ": a question label";
    }
}

} // namespace
