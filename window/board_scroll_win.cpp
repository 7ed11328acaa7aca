#include "window/board_scroll_win.h"

#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"
#include "window/scroll_math.h"

namespace {

BarState readBar(HWND board, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(board, bar, &info);
    return {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos, info.nTrackPos};
}

void setBar(HWND board, int bar, const BarSetting& setting) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = setting.minimum;
    info.nMax = setting.maximum;
    info.nPage = static_cast<UINT>(setting.page);
    SetScrollInfo(board, bar, &info, TRUE);
}

// Moves every direct child by (dx, dy) pixels, as ScrollWindow would.
void moveChildren(HWND board, int dx, int dy) {
    for (HWND child = GetWindow(board, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, board, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Moves the content by (dx, dy) pixels. ScrollWindow moves nothing on a board that cannot
// be drawn (hidden, or inside a minimised main window) although the positions have changed
// all the same; the children are then moved one by one, so that every control always sits
// at its content position less the scroll positions.
void moveContent(HWND board, int dx, int dy) {
    if (dx == 0 && dy == 0) {
        return;
    }
    bool drawn = IsWindowVisible(board) && !IsIconic(GetAncestor(board, GA_ROOT));
    if (drawn && ScrollWindow(board, dx, dy, nullptr, nullptr)) {
        return;
    }
    moveChildren(board, dx, dy);
}

// Sets a bar's position (the platform keeps it within its own limit) and moves the content
// by what the position really changed.
void moveBarTo(HWND board, int bar, int before, int position) {
    SetScrollPos(board, bar, position, TRUE);
    int moved = (before - GetScrollPos(board, bar)) * kScrollUnit;
    if (bar == SB_VERT) {
        moveContent(board, 0, moved);
    } else {
        moveContent(board, moved, 0);
    }
}

} // namespace

void updateScrollRanges(HWND board) {
    RECT client;
    GetClientRect(board, &client);
    BarSetting across = barSetting(client.right, g_app.boardVirtualWidth);
    BarSetting down = barSetting(client.bottom, g_app.boardVirtualHeight);
    if (across.resetPosition) {
        SetScrollPos(board, SB_HORZ, 0, FALSE);
    }
    if (down.resetPosition) {
        SetScrollPos(board, SB_VERT, 0, FALSE);
    }
    setBar(board, SB_HORZ, across);
    setBar(board, SB_VERT, down);
}

INT_PTR onBoardSize(HWND board) {
    int oldDown = GetScrollPos(board, SB_VERT);
    int oldAcross = GetScrollPos(board, SB_HORZ);
    updateScrollRanges(board);
    int newDown = GetScrollPos(board, SB_VERT);
    int newAcross = GetScrollPos(board, SB_HORZ);
    int dx = (oldAcross - newAcross) * kScrollUnit;
    int dy = (oldDown - newDown) * kScrollUnit;
    moveContent(board, dx, dy);
    if (dx != 0 || dy != 0) {
        // Growing while scrolled moves the content into what was never on screen before;
        // the moved bits do not cover it and the platform leaves parts of the pictures
        // unpainted, so the whole board is painted again.
        RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return FALSE;
}

INT_PTR onBoardScroll(HWND board, int bar, WPARAM wParam) {
    BarState state = readBar(board, bar);
    ScrollAxis axis = bar == SB_VERT ? SCROLL_DOWN : SCROLL_ACROSS;
    moveBarTo(board, bar, state.position, requestedPosition(axis, LOWORD(wParam), state));
    return FALSE;
}

INT_PTR onBoardWheel(HWND board, WPARAM wParam) {
    int request = wheelRequest(HIWORD(wParam));
    if (request >= 0) {
        PostMessageA(board, WM_VSCROLL, static_cast<WPARAM>(request), 0);
    }
    return FALSE;
}

void showRowOfField(HWND board, int t) {
    const Quiz* quiz = g_app.quiz;
    int answers = quiz->answersPerQuestion;
    FieldOwner owner = fieldOwner(answerFieldId(t), answers);
    PixelRect field = questionLayout(quiz->quizType, answers, quiz->revealMode, owner.question)
                          .fields[owner.answer - 1];
    Extent row = rowExtent(quiz->quizType, answers, quiz->revealMode, quiz->questionCount,
                           rowStartQuestion(owner.question));
    RECT client;
    GetClientRect(board, &client);
    int viewDown = client.bottom / kScrollUnit;
    int viewAcross = client.right / kScrollUnit;
    if (viewDown > 0) {
        BarState down = readBar(board, SB_VERT);
        moveBarTo(board, SB_VERT, down.position,
                  positionShowing(down.position, viewDown, largestPosition(down),
                                  row.start / kScrollUnit, row.end / kScrollUnit,
                                  (field.y + field.height) / kScrollUnit));
    }
    if (viewAcross > 0) {
        // The row's first question stands at the content's left edge.
        int fieldEnd = (field.x + field.width) / kScrollUnit;
        BarState across = readBar(board, SB_HORZ);
        moveBarTo(board, SB_HORZ, across.position,
                  positionShowing(across.position, viewAcross, largestPosition(across), 0, fieldEnd,
                                  fieldEnd));
    }
}
