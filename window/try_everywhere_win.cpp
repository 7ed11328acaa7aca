#include "window/try_everywhere_win.h"

#include <cstring>

#include "checking/grader.h"
#include "resources/resource.h"
#include "window/answer_field_win.h"
#include "window/app_state_win.h"
#include "window/board_controls_win.h"
#include "window/board_layout.h"
#include "window/field_grading_win.h"
#include "window/rewards_win.h"

namespace {

// Grades field k as losing the focus would, without the score.
void gradeField(HWND board, int k) {
    gradeFieldWithoutScore(g_app.quiz, board, answerFieldId(k));
}

} // namespace

void tryTextEverywhere(HWND field) {
    HWND board = GetParent(field);
    char text[kTextCapacity] = "";
    GetWindowTextA(field, text, kTextCapacity);
    // Giving each target the focus in turn, and the focus back to `field` at the end, would
    // grade the field left behind at each step and make the field entered select its first
    // characters. Under Wine each focus change and each score recount costs milliseconds
    // (F1 on a full board took seconds), so the pass makes those same gradings and
    // selections in the same order, with the focus staying in `field`, and writes the score
    // once after the last grading.
    int start = answerFieldIndex(GetDlgCtrlID(field));
    int current = start; // where the focus would be
    bool graded = false;
    int n = g_app.quiz->answersPerQuestion * g_app.quiz->questionCount;
    for (int i = 1; i <= n; ++i) {
        char verdict[kTextCapacity] = "";
        HWND label = boardControl(board, verdictLabelId(answerFieldId(i)));
        if (label != nullptr) {
            GetWindowTextA(label, verdict, kTextCapacity);
        }
        HWND target = boardControl(board, answerFieldId(i));
        if (target == nullptr || strcmp(verdict, kVerdictBravo) == 0) {
            continue;
        }
        SetWindowTextA(target, text);
        if (i != current) {
            gradeField(board, current);
            SendMessageA(target, EM_SETSEL, 0, kSelectedOnEntry);
            current = i;
            graded = true;
        }
    }
    if (current != start) {
        gradeField(board, current);
        SendMessageA(field, EM_SETSEL, 0, kSelectedOnEntry);
        graded = true;
    }
    if (graded) {
        refreshScore(g_app.quiz, board);
    }
}
