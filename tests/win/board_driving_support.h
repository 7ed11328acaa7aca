// Helpers for tests that drive a real, shown question board: its size, its scroll bars, and
// where its controls stand against their content positions.
#pragma once

#include "window_test_support.h"

#include "resources/resource.h"

namespace window_test {

// The windows of PlayerWindows, shown: ScrollWindow moves nothing on a hidden board.
inline void showPlayer(const PlayerWindows& windows) {
    ShowWindow(windows.main(), SW_SHOWNORMAL);
    ShowWindow(windows.board(), SW_SHOWNORMAL);
    UpdateWindow(windows.main());
}

// Sizes the board, as the main window's resizing does, so that its client area is w x h.
inline void setBoardClient(HWND board, int w, int h) {
    RECT outer;
    RECT client;
    GetWindowRect(board, &outer);
    GetClientRect(board, &client);
    int frameW = (outer.right - outer.left) - client.right;
    int frameH = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(board, nullptr, 0, 0, w + frameW, h + frameH,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(board, &client);
    EXPECT_EQ(client.right, w) << "board client width";
    EXPECT_EQ(client.bottom, h) << "board client height";
}

inline SCROLLINFO barInfo(HWND board, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(board, bar, &info);
    return info;
}

inline int position(HWND board, int bar) {
    return barInfo(board, bar).nPos;
}

inline void request(HWND board, int bar, int code) {
    SendMessageA(board, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, 0), 0);
}

// True when every answer field and verdict label of the board stands at its place in the
// content less both scroll positions. The board's children are read in one walk (under
// Wine every GetDlgItem lists them all again).
inline ::testing::AssertionResult controlsInPlace(HWND board, const Quiz* quiz) {
    int across = position(board, SB_HORZ);
    int down = position(board, SB_VERT);
    int answers = quiz->answersPerQuestion;
    std::vector<HWND> byId(ID_PLAY_BUTTON_BASE, nullptr);
    for (HWND child = GetWindow(board, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id >= ID_ANSWER_FIELD_BASE && id < ID_PLAY_BUTTON_BASE && byId[id] == nullptr) {
            byId[id] = child;
        }
    }
    for (int q = 1; q <= quiz->questionCount; ++q) {
        QuestionLayout l = questionLayout(quiz->quizType, answers, quiz->revealMode, q);
        for (int a = 1; a <= answers; ++a) {
            int k = fieldIndex(q, a, answers);
            const std::pair<int, PixelRect> parts[] = {
                {answerFieldId(k), l.fields[a - 1]},
                {verdictLabelId(answerFieldId(k)), l.verdicts[a - 1]}};
            for (const auto& part : parts) {
                if (byId[part.first] == nullptr) {
                    return ::testing::AssertionFailure() << "no control " << part.first;
                }
                PixelRect at = rectInParent(byId[part.first]);
                PixelRect expected = part.second;
                expected.x -= across;
                expected.y -= down;
                if (!(at == expected)) {
                    return ::testing::AssertionFailure()
                           << "control " << part.first << " at " << at << ", expected " << expected
                           << " (positions " << across << ", " << down << ")";
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// A control lies inside the board's client area, down (and across). Only its part within
// the content counts: the second field of the last question of a two-answer text quiz
// reaches one pixel below the content, where no scroll position can show it.
inline bool fullyInView(HWND board, HWND control, bool across) {
    RECT client;
    GetClientRect(board, &client);
    PixelRect r = rectInParent(control);
    int contentEnd = g_app.boardVirtualHeight - position(board, SB_VERT);
    int bottom = r.y + r.height < contentEnd ? r.y + r.height : contentEnd;
    bool down = r.y >= 0 && bottom <= client.bottom;
    return down && (!across || (r.x >= 0 && r.x + r.width <= client.right));
}

} // namespace window_test
