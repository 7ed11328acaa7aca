#include "window/field_grading_win.h"

#include <cstring>

#include "checking/grader.h"
#include "resources/resource.h"
#include "window/board_controls_win.h"
#include "window/board_layout.h"
#include "window/rewards_win.h"

void gradeFieldWithoutScore(const Quiz* quiz, HWND board, int fieldId) {
    FieldOwner owner = fieldOwner(fieldId, quiz->answersPerQuestion);
    HWND field = boardControl(board, fieldId);
    HWND verdictLabel = boardControl(board, verdictLabelId(fieldId));
    HWND revealLabel = boardControl(board, revealLabelId(owner.question));
    const QuestionNode* node = questionAt(quiz, owner.question - 1);
    const char* forms[kMaxAnswerForms] = {""};
    const int formCount = node != nullptr ? answerForms(node, owner.answer, forms) : 1;
    char typed[kTextCapacity] = "";
    if (field != nullptr) {
        GetWindowTextA(field, typed, kTextCapacity);
    }
    const char* verdict = gradeAnswer(forms, formCount, typed, quiz->tolerances);
    bool bravo = strcmp(verdict, kVerdictBravo) == 0;
    if (bravo && quiz->revealMode != REVEAL_NOTHING) {
        revealIfComplete(quiz, board, owner.question, node);
    }
    if (!bravo && revealLabel != nullptr) {
        // A reveal shown for the question is taken back as soon as one of its answers is
        // no longer right.
        SetWindowTextA(revealLabel, "");
    }
    if (verdictLabel != nullptr) {
        SetWindowTextA(verdictLabel, verdict);
    }
}

void gradeAnswerField(const Quiz* quiz, HWND board, int fieldId) {
    gradeFieldWithoutScore(quiz, board, fieldId);
    refreshScore(quiz, board);
}
