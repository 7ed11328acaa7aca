#include "checking/field_grading_win.h"

#include <cstring>

#include "checking/grader.h"
#include "checking/rewards_win.h"
#include "resources/resource.h"
#include "window/board_layout.h"

void gradeFieldControls(const Quiz* quiz, HWND board, int fieldId, const GradedControls& controls) {
    FieldOwner owner = fieldOwner(fieldId, quiz->answersPerQuestion);
    const QuestionNode* node = questionAt(quiz, owner.question - 1);
    char expected[kTextCapacity] = "";
    if (node != nullptr) {
        copyText(expected, owner.answer == 1 ? node->answer1 : node->answer2);
    }
    char typed[kTextCapacity] = "";
    if (controls.field != nullptr) {
        GetWindowTextA(controls.field, typed, kTextCapacity);
    }
    const char* verdict = gradeText(expected, typed);
    bool bravo = strcmp(verdict, kVerdictBravo) == 0;
    if (bravo && quiz->revealMode != REVEAL_NOTHING) {
        revealIfComplete(quiz, board, owner.question, node);
    }
    if (!bravo && controls.revealLabel != nullptr) {
        // A reveal shown for the question is taken back as soon as one of its answers is
        // no longer right.
        SetWindowTextA(controls.revealLabel, "");
    }
    if (controls.verdictLabel != nullptr) {
        SetWindowTextA(controls.verdictLabel, verdict);
    }
}

void gradeAnswerField(const Quiz* quiz, HWND board, int fieldId) {
    FieldOwner owner = fieldOwner(fieldId, quiz->answersPerQuestion);
    GradedControls controls = {GetDlgItem(board, fieldId), GetDlgItem(board, fieldId + 1000),
                               GetDlgItem(board, ID_REVEAL_LABEL_BASE + owner.question)};
    gradeFieldControls(quiz, board, fieldId, controls);
    refreshScore(quiz, board);
}
