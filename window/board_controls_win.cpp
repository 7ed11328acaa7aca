#include "window/board_controls_win.h"

#include "content/quiz.h"
#include "resources/resource.h"

namespace {

const int kMaxFields = 2 * kMaxQuestions;

// Under Wine every GetDlgItem asks the server for the list of all the board's children (up
// to 700), and a score recount makes 180 of them; while the board is built, each field is
// graded as it is made. One walk over the children fills this table instead, and every
// control made afterwards is added as it is made. A remembered handle is trusted only
// while it is still a child of that board with that identifier; a later control never
// displaces the first with the same identifier, as with GetDlgItem.
struct Remembered {
    HWND board;
    HWND fields[kMaxFields + 1];
    HWND verdictLabels[kMaxFields + 1];
    HWND revealLabels[kMaxQuestions + 1];
};

Remembered g_remembered;

HWND* slotFor(int id) {
    int k = answerFieldIndex(id);
    if (k >= 1 && k <= kMaxFields) {
        return &g_remembered.fields[k];
    }
    k = id - ID_VERDICT_LABEL_BASE;
    if (k >= 1 && k <= kMaxFields) {
        return &g_remembered.verdictLabels[k];
    }
    int q = id - ID_REVEAL_LABEL_BASE;
    if (q >= 1 && q <= kMaxQuestions) {
        return &g_remembered.revealLabels[q];
    }
    return nullptr;
}

void keepFirst(HWND child) {
    HWND* slot = slotFor(GetDlgCtrlID(child));
    if (slot != nullptr && *slot == nullptr) {
        *slot = child;
    }
}

void rememberChildren(HWND board) {
    g_remembered = {};
    g_remembered.board = board;
    for (HWND child = GetWindow(board, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        keepFirst(child);
    }
}

bool stillThere(HWND board, HWND control, int id) {
    return IsWindow(control) && GetParent(control) == board && GetDlgCtrlID(control) == id;
}

} // namespace

HWND boardControl(HWND board, int id) {
    HWND* slot = slotFor(id);
    if (slot == nullptr || board == nullptr) {
        return GetDlgItem(board, id);
    }
    if (g_remembered.board != board) {
        rememberChildren(board);
    }
    if (*slot != nullptr && !stillThere(board, *slot, id)) {
        rememberChildren(board); // a control went away: what is first now is found again
    }
    return *slot;
}

void rememberBoardControl(HWND board, HWND control) {
    if (control == nullptr) {
        return;
    }
    if (g_remembered.board != board) {
        rememberChildren(board); // finds `control` too
    } else {
        keepFirst(control);
    }
}

void forgetBoardControls(HWND board) {
    if (g_remembered.board == board) {
        g_remembered = {};
    }
}
