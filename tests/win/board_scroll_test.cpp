// The board's scroll bars against the real, shown board: ranges and pages for its size,
// every request's position and the pixels the controls really move, resizing while
// scrolled, the wheel and the main window's keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/support/board_driving_win.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/main_window_win.h"

using namespace test_support;

namespace {

const int kLines = 1000; // sentinel: start from the bottom instead of a number of lines down

struct Figures {
    int maximum, page, position;
};

void expectBar(HWND board, int bar, Figures f, const std::string& what) {
    SCROLLINFO info = barInfo(board, bar);
    EXPECT_EQ(info.nMin, 0) << what;
    EXPECT_EQ(info.nMax, f.maximum) << what;
    EXPECT_EQ(static_cast<int>(info.nPage), f.page) << what;
    EXPECT_EQ(info.nPos, f.position) << what;
}

bool barDisabled(HWND board, LONG object) {
    SCROLLBARINFO info = {};
    info.cbSize = sizeof info;
    GetScrollBarInfo(board, object, &info);
    return (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) != 0;
}

// Carries out `step` and checks where bar `bar` ends: field 1 moved by exactly what the
// position changed, and every control followed.
template <typename Step>
void expectScrolledTo(HWND board, const Quiz* quiz, int bar, Step step, int end,
                      const std::string& what) {
    int start = position(board, bar);
    PixelRect before = rectInParent(GetDlgItem(board, answerFieldId(1)));
    step();
    PixelRect after = rectInParent(GetDlgItem(board, answerFieldId(1)));
    EXPECT_EQ(position(board, bar), end) << what;
    int moved = bar == SB_VERT ? before.y - after.y : before.x - after.x;
    EXPECT_EQ(moved, end - start) << what << ": pixels moved";
    EXPECT_TRUE(controlsInPlace(board, quiz)) << what;
}

TEST(BoardScroll, RangesFollowTheBoardSize) {
    struct Case {
        const char* what;
        int quizType, answers, revealMode, count, width, height;
        Figures across, down;
    } cases[] = {
        // clang-format off
        {"30 texts, 548 high", QUIZ_TEXT, 1, 0, 30, 700, 548, {828, 699, 0}, {773, 547, 0}},
        {"90 pictures x 2, reveal texts", QUIZ_PICTURE, 2, 2, 90, 833, 537, {978, 832, 0}, {11723, 536, 0}},
        {"one picture: 830 wide", QUIZ_PICTURE, 1, 0, 1, 833, 537, {828, 829, 0}, {353, 354, 0}},
        {"2 audio x 2: 830 wide", QUIZ_AUDIO, 2, 0, 2, 800, 50, {828, 799, 0}, {98, 49, 0}},
        {"no questions", QUIZ_TEXT, 1, 0, 0, 833, 537, {828, 829, 0}, {23, 24, 0}},
        // clang-format on
    };
    for (const Case& c : cases) {
        PlayerBoard b(makeNumberedQuiz(c.quizType, c.answers, c.revealMode, c.count));
        b.show(c.width, c.height);
        expectBar(b.board(), SB_HORZ, c.across, std::string(c.what) + ", across");
        expectBar(b.board(), SB_VERT, c.down, std::string(c.what) + ", down");
    }
}

// 30 text questions (content 775 high) in a board 548 high: maximum 773, page 547, so the
// positions run from 0 to 227.
TEST(BoardScroll, ThirtyQuestionsDown) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    expectBar(board, SB_VERT, {773, 547, 0}, "30 questions");
    struct Case {
        const char* what;
        int startLines; // lines down from the top, or kLines for the bottom
        int code;
        int end;
    } cases[] = {
        // clang-format off
        {"page down from 0 ends at 227", 0, SB_PAGEDOWN, 227},
        {"line down from 210 moves 17", 7, SB_LINEDOWN, 227},
        {"line down at the bottom", kLines, SB_LINEDOWN, 227},
        {"line down", 0, SB_LINEDOWN, 30},
        {"line up", 3, SB_LINEUP, 60},
        {"line up from 197", kLines, SB_LINEUP, 197},
        {"page up from the bottom", kLines, SB_PAGEUP, 0},
        {"bottom shows the last page", 0, SB_BOTTOM, 227},
        {"top", kLines, SB_TOP, 0},
        {"thumb position: the content already followed", 2, SB_THUMBPOSITION, 60},
        {"thumb track without a drag stays", 2, SB_THUMBTRACK, 60},
        {"end of scrolling", 2, SB_ENDSCROLL, 60},
        {"a key that moves nothing", 2, 0xFFFF, 60},
        // clang-format on
    };
    for (const Case& c : cases) {
        request(board, SB_VERT, SB_TOP);
        if (c.startLines == kLines) {
            request(board, SB_VERT, SB_BOTTOM);
        } else {
            for (int i = 0; i < c.startLines; ++i) {
                request(board, SB_VERT, SB_LINEDOWN);
            }
        }
        expectScrolledTo(
            board, b.quiz(), SB_VERT, [&] { request(board, SB_VERT, c.code); }, c.end, c.what);
    }
}

// Content 890 wide: a board 900 wide has a disabled bar at 0; narrowed to 851 the range is
// 0 to 39, and widening it again brings the content back by what the position loses.
TEST(BoardScroll, AcrossNarrowingAndWidening) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_NOTHING, 6));
    HWND board = b.board();
    b.show(900, 400);
    expectBar(board, SB_HORZ, {888, 889, 0}, "900 wide");
    EXPECT_TRUE(barDisabled(board, OBJID_HSCROLL));
    request(board, SB_HORZ, SB_PAGERIGHT);
    EXPECT_EQ(position(board, SB_HORZ), 0) << "nothing to scroll";
    setBoardClient(board, 851, 400);
    expectBar(board, SB_HORZ, {888, 850, 0}, "851 wide");
    EXPECT_FALSE(barDisabled(board, OBJID_HSCROLL));
    struct Step {
        const char* what;
        int code;  // a request, or -1 to resize
        int width; // for a resize
        int end;
    } steps[] = {
        // clang-format off
        {"page right: the far right", SB_PAGERIGHT, 0, 39},
        {"line right at the end", SB_LINERIGHT, 0, 39},
        {"line left", SB_LINELEFT, 0, 38},
        {"SB_LEFT is not a request across", SB_LEFT, 0, 38},
        {"page left", SB_PAGELEFT, 0, 0},
        {"line right", SB_LINERIGHT, 0, 1},
        {"SB_RIGHT is not a request across", SB_RIGHT, 0, 1},
        {"page right again", SB_PAGERIGHT, 0, 39},
        {"widened to 871 while at the far right", -1, 871, 19},
        {"widened to 900: the content fits", -1, 900, 0},
        {"narrowed to 851 keeps 0", -1, 851, 0},
        // clang-format on
    };
    for (const Step& s : steps) {
        auto step = [&] {
            if (s.code < 0) {
                setBoardClient(board, s.width, 400);
            } else {
                request(board, SB_HORZ, s.code);
            }
        };
        expectScrolledTo(board, b.quiz(), SB_HORZ, step, s.end, s.what);
    }
}

TEST(BoardScroll, GrowingTallerWhileAtTheBottom) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    request(board, SB_VERT, SB_BOTTOM);
    struct Case {
        int height, position;
    } cases[] = {
        // clang-format off
        {600, 175},
        {548, 175},
        {700, 75},
        {775, 0},
        {800, 0},
        {548, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        setBoardClient(board, 700, c.height);
        EXPECT_EQ(position(board, SB_VERT), c.position) << "height " << c.height;
        EXPECT_TRUE(controlsInPlace(board, b.quiz())) << "height " << c.height;
    }
}

// A grid of points over picture control 9000 + q as the screen shows them.
std::vector<COLORREF> shownPoints(HWND board, int q) {
    HWND control = GetDlgItem(board, pictureControlId(q));
    RECT r;
    GetClientRect(control, &r);
    HDC screen = GetDC(control);
    std::vector<COLORREF> points;
    for (int i = 1; i < 8; ++i) {
        for (int j = 1; j < 8; ++j) {
            points.push_back(GetPixel(screen, r.right * i / 8, r.bottom * j / 8));
        }
    }
    ReleaseDC(control, screen);
    return points;
}

// Growing while scrolled to the bottom moves the content down into what was never on screen:
// every picture then in view must look as it does once the whole board is painted afresh.
TEST(BoardScroll, GrowingWhileScrolledPaintsThePicturesWhole) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_PICTURE, 1, REVEAL_NOTHING, 9));
    HWND board = b.board();
    b.show(800, 300);
    request(board, SB_VERT, SB_BOTTOM);
    UpdateWindow(b.main());
    pumpMessages();
    setBoardClient(board, 800, 560);
    UpdateWindow(b.main());
    pumpMessages();
    RECT client;
    GetClientRect(board, &client);
    std::vector<int> inView;
    std::vector<std::vector<COLORREF>> shown;
    for (int q = 1; q <= 9; ++q) {
        const PixelRect r = rectInParent(GetDlgItem(board, pictureControlId(q)));
        if (r.y >= 0 && r.x >= 0 && r.y + r.height <= client.bottom &&
            r.x + r.width <= client.right) {
            inView.push_back(q);
            shown.push_back(shownPoints(board, q));
        }
    }
    ASSERT_GE(inView.size(), 2u) << "pictures wholly in view";
    RedrawWindow(board, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages();
    for (size_t i = 0; i < inView.size(); ++i) {
        EXPECT_TRUE(shownPoints(board, inView[i]) == shown[i])
            << "picture " << inView[i] << " was not painted whole";
    }
}

// A notch that reaches the board moves it two lines (the board posts one request, the main
// window, which the dialog hands the wheel on to, another); one that reaches the main window
// moves it one line. Several notches at once, or a fraction of one, move nothing.
TEST(BoardScroll, WheelNotches) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    struct Case {
        bool toBoard;
        short delta;
        int move;
    } cases[] = {
        // clang-format off
        {true, 120, -60},
        {true, -120, 60},
        {false, 120, -30},
        {false, -120, 30},
        {true, 240, 0},
        {true, -240, 0},
        {true, 60, 0},
        {true, -1, 0},
        {false, 240, 0},
        {false, 90, 0},
        {true, 0, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        request(board, SB_VERT, SB_TOP);
        for (int i = 0; i < 4; ++i) {
            request(board, SB_VERT, SB_LINEDOWN);
        }
        pumpMessages();
        SendMessageA(c.toBoard ? board : b.main(), WM_MOUSEWHEEL, MAKEWPARAM(0, c.delta),
                     MAKELPARAM(300, 300));
        EXPECT_EQ(position(board, SB_VERT), 120) << c.delta << ": requests are posted";
        pumpMessages();
        std::string what =
            std::string(c.toBoard ? "board" : "main window") + ", delta " + std::to_string(c.delta);
        EXPECT_EQ(position(board, SB_VERT), 120 + c.move) << what;
        EXPECT_TRUE(controlsInPlace(board, b.quiz())) << what;
    }
}

TEST(BoardScroll, MainWindowKeys) {
    ThirtyQuestionsShown b;
    HWND board = b.board();
    struct Case {
        const char* key;
        WPARAM virtualKey;
        int end;
    } cases[] = {
        // clang-format off
        {"Down", VK_DOWN, 30},
        {"Page Down", VK_NEXT, 227},
        {"Up", VK_UP, 197},
        {"Left", VK_LEFT, 197},
        {"Right", VK_RIGHT, 197},
        {"Home", VK_HOME, 0},
        {"End", VK_END, 227},
        {"Page Up", VK_PRIOR, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        SendMessageA(b.main(), WM_KEYDOWN, c.virtualKey, 0);
        EXPECT_EQ(position(board, SB_VERT), c.end) << c.key;
        EXPECT_TRUE(controlsInPlace(board, b.quiz())) << c.key;
    }
}

// The board cannot be drawn while hidden or while the main window is minimised, and then
// ScrollWindow moves nothing; the controls must still follow the positions.
TEST(BoardScroll, ControlsFollowWhenTheBoardCannotBeDrawn) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 30));
    HWND board = b.board();
    setBoardClient(board, 700, 548);
    request(board, SB_VERT, SB_PAGEDOWN);
    EXPECT_EQ(position(board, SB_VERT), 227) << "hidden";
    EXPECT_TRUE(controlsInPlace(board, b.quiz())) << "hidden";
    request(board, SB_VERT, SB_TOP);
    EXPECT_TRUE(controlsInPlace(board, b.quiz())) << "hidden, back to the top";

    b.show();
    layOutMainWindow(b.main());
    request(board, SB_VERT, SB_BOTTOM);
    int bottom = position(board, SB_VERT);
    ASSERT_GT(bottom, 0);
    ShowWindow(b.main(), SW_MINIMIZE);
    EXPECT_TRUE(controlsInPlace(board, b.quiz())) << "minimised";
    ShowWindow(b.main(), SW_RESTORE);
    EXPECT_EQ(position(board, SB_VERT), bottom) << "restored";
    EXPECT_TRUE(controlsInPlace(board, b.quiz())) << "restored";
}

void mouse(int x, int y, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
    SendInput(1, &input, sizeof input);
}

// Dragging the vertical thumb with the mouse (real input, so the platform's own tracking
// loop sends the requests): the content follows the thumb and stays where it was dropped.
TEST(BoardScroll, DraggingTheThumb) {
    PlayerBoard b(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 90));
    HWND board = b.board();
    b.show();
    SetForegroundWindow(b.main());
    setBoardClient(board, 700, 400);
    pumpMessages();
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(board, OBJID_VSCROLL, &bar));
    int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    int y = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    mouse(x, y, 0);
    mouse(x, y, MOUSEEVENTF_LEFTDOWN);
    for (int d = 20; d <= 100; d += 20) {
        mouse(x, y + d, 0);
    }
    mouse(x, y + 100, MOUSEEVENTF_LEFTUP);
    pumpMessages();
    // Only the tracking requests can have moved it: the bar's own request when the thumb is
    // dropped keeps the position the content already has.
    SCROLLINFO info = barInfo(board, SB_VERT);
    EXPECT_GT(info.nPos, 300) << "100 pixels of a 400-pixel bar over 2275 pixels of content";
    EXPECT_LE(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1);
    EXPECT_TRUE(controlsInPlace(board, b.quiz()));
}

} // namespace
