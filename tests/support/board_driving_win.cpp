#include "tests/support/board_driving_win.h"

#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"

namespace test_support {

ThirtyQuestionsShown::ThirtyQuestionsShown()
    : PlayerBoard(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 30)) {
    show(700, 548);
}

void setBoardClient(HWND board, int w, int h) {
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

SCROLLINFO barInfo(HWND board, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(board, bar, &info);
    return info;
}

int position(HWND board, int bar) {
    return barInfo(board, bar).nPos;
}

void request(HWND board, int bar, int code) {
    SendMessageA(board, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, 0), 0);
}

// The board's children are read in one walk: under Wine every GetDlgItem lists them all
// again.
::testing::AssertionResult controlsInPlace(HWND board, const Quiz* quiz) {
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

bool fullyInView(HWND board, HWND control, bool across) {
    RECT client;
    GetClientRect(board, &client);
    PixelRect r = rectInParent(control);
    int contentEnd = g_app.boardVirtualHeight - position(board, SB_VERT);
    int bottom = r.y + r.height < contentEnd ? r.y + r.height : contentEnd;
    bool down = r.y >= 0 && bottom <= client.bottom;
    return down && (!across || (r.x >= 0 && r.x + r.width <= client.right));
}

} // namespace test_support
