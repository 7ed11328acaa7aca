#include "window/try_everywhere_win.h"

#include <cstring>

#include "checking/field_grading_win.h"
#include "checking/grader.h"
#include "checking/rewards_win.h"
#include "resources/resource.h"
#include "window/answer_field_win.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"

namespace {

const int kMaxFields = 2 * kMaxQuestions;

// The board's answer fields, verdict labels and reveal labels by index (0 unused), found in
// one walk over its children: under Wine every GetDlgItem lists all of them again. As with
// GetDlgItem, the first child with an identifier wins; a missing control stays null.
struct BoardControls {
    HWND fields[kMaxFields + 1];
    HWND verdictLabels[kMaxFields + 1];
    HWND revealLabels[kMaxQuestions + 1];
};

void keepFirst(HWND* table, int index, int last, HWND child) {
    if (index >= 1 && index <= last && table[index] == nullptr) {
        table[index] = child;
    }
}

void findBoardControls(HWND board, BoardControls* controls) {
    *controls = {};
    for (HWND child = GetWindow(board, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        keepFirst(controls->fields, id - ID_ANSWER_FIELD_BASE, kMaxFields, child);
        keepFirst(controls->verdictLabels, id - ID_VERDICT_LABEL_BASE, kMaxFields, child);
        keepFirst(controls->revealLabels, id - ID_REVEAL_LABEL_BASE, kMaxQuestions, child);
    }
}

HWND fieldAt(const BoardControls& controls, int k) {
    return k >= 1 && k <= kMaxFields ? controls.fields[k] : nullptr;
}

HWND verdictLabelAt(const BoardControls& controls, int k) {
    return k >= 1 && k <= kMaxFields ? controls.verdictLabels[k] : nullptr;
}

GradedControls gradedControls(const BoardControls& controls, int k) {
    int q = fieldOwner(ID_ANSWER_FIELD_BASE + k, g_app.quiz->answersPerQuestion).question;
    return {fieldAt(controls, k), verdictLabelAt(controls, k),
            q >= 1 && q <= kMaxQuestions ? controls.revealLabels[q] : nullptr};
}

// Grades field k as losing the focus would, without the score.
void gradeField(HWND board, const BoardControls& controls, int k) {
    gradeFieldControls(g_app.quiz, board, ID_ANSWER_FIELD_BASE + k, gradedControls(controls, k));
}

} // namespace

void tryTextEverywhere(HWND field) {
    HWND board = GetParent(field);
    char text[kTextCapacity] = "";
    GetWindowTextA(field, text, kTextCapacity);
    BoardControls controls;
    findBoardControls(board, &controls);
    // Giving each target the focus in turn, and the focus back to `field` at the end, would
    // grade the field left behind at each step and make the field entered select its first
    // characters. Under Wine each focus change and each score recount costs milliseconds
    // (F1 on a full board took seconds), so the pass makes those same gradings and
    // selections in the same order, with the focus staying in `field`, and writes the score
    // once after the last grading.
    int start = GetDlgCtrlID(field) - ID_ANSWER_FIELD_BASE;
    int current = start; // where the focus would be
    bool graded = false;
    int n = g_app.quiz->answersPerQuestion * g_app.quiz->questionCount;
    for (int i = 1; i <= n; ++i) {
        char verdict[kTextCapacity] = "";
        HWND label = verdictLabelAt(controls, i);
        if (label != nullptr) {
            GetWindowTextA(label, verdict, kTextCapacity);
        }
        HWND target = fieldAt(controls, i);
        if (target == nullptr || strcmp(verdict, kVerdictBravo) == 0) {
            continue;
        }
        SetWindowTextA(target, text);
        if (i != current) {
            gradeField(board, controls, current);
            SendMessageA(target, EM_SETSEL, 0, kSelectedOnEntry);
            current = i;
            graded = true;
        }
    }
    if (current != start) {
        gradeField(board, controls, current);
        SendMessageA(field, EM_SETSEL, 0, kSelectedOnEntry);
        graded = true;
    }
    if (graded) {
        refreshScoreFromLabels(g_app.quiz, board, controls.verdictLabels, kMaxFields);
    }
}
