#include "window/answer_field_win.h"

#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/board_scroll_win.h"
#include "window/field_grading_win.h"
#include "window/scroll_math.h"
#include "window/try_everywhere_win.h"

namespace {

const Quiz* quiz() {
    return g_app.quiz;
}

int fieldCount() {
    return quiz()->answersPerQuestion * quiz()->questionCount;
}

void grade(HWND field) {
    gradeAnswerField(quiz(), GetParent(field), GetDlgCtrlID(field));
}

void askBoardToScroll(HWND field, int code) {
    SendMessageA(GetParent(field), WM_VSCROLL, MAKEWPARAM(code, 0), 0);
}

// The field after k (step +1) or before it (step -1), round the ring 1 .. n.
int neighbourField(int k, int step, int n) {
    int t = k + step;
    if (t > n) {
        return 1;
    }
    if (t < 1) {
        return n;
    }
    return t;
}

// Tab, and Shift+Tab backwards: the field is graded, the next one gets the focus (the field
// left behind is graded once more as it loses it). Field 1 is shown with the top of the
// board; the first field of any later row of three questions brings its row into view, so
// that the field that receives the focus can be seen.
void moveToNeighbour(HWND field) {
    int step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    HWND board = GetParent(field);
    int k = answerFieldIndex(GetDlgCtrlID(field));
    grade(field);
    int t = neighbourField(k, step, fieldCount());
    if (t == 1) {
        askBoardToScroll(field, SB_TOP);
    } else if (startsLaterRow(t, quiz()->answersPerQuestion)) {
        showRowOfField(board, t);
    }
    SetFocus(GetDlgItem(board, answerFieldId(t)));
}

// WM_KEYUP, and WM_SYSKEYDOWN (Alt held: the key acts on its press). True when the key is
// Return, which is not passed on.
bool onKey(HWND field, WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_TAB:
        moveToNeighbour(field);
        return false;
    case VK_RETURN:
        grade(field);
        return true;
    case VK_PRIOR:
    case VK_UP:
        askBoardToScroll(field, SB_PAGEUP);
        return false;
    case VK_NEXT:
    case VK_DOWN:
        askBoardToScroll(field, SB_PAGEDOWN);
        return false;
    case VK_F1:
        tryTextEverywhere(field);
        return false;
    default:
        return false;
    }
}

} // namespace

LRESULT CALLBACK answerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        SendMessageA(field, EM_SETSEL, 0, kSelectedOnEntry);
        break;
    case WM_KILLFOCUS:
        // Leaving a field, by any means, grades it.
        grade(field);
        break;
    case WM_CHAR:
        // Return and Tab do their work on release; their characters would only be inserted
        // or answered with a beep.
        if (wParam == '\r' || wParam == '\t') {
            return 0;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
        if (onKey(field, wParam)) {
            return 1;
        }
        break;
    default:
        break;
    }
    return CallWindowProcA(g_app.savedEditProc, field, message, wParam, lParam);
}

void subclassAnswerField(HWND field) {
    if (field == nullptr) {
        return;
    }
    LONG_PTR previous =
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerFieldProc));
    if (g_app.savedEditProc == nullptr) {
        g_app.savedEditProc = reinterpret_cast<WNDPROC>(previous);
    }
}
