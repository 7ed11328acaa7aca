#include "window/rewards_win.h"

#include <cstring>

#include "checking/grader.h"
#include "checking/rewards.h"
#include "media/picture_win.h"
#include "resources/resource.h"
#include "window/board_controls_win.h"
#include "window/board_layout.h"
#include "window/scroll_math.h"

namespace {

// A verdict label is read through a 10-byte buffer: enough to tell "BRAVO" from every
// other verdict word.
const int kVerdictReadCapacity = 10;

bool labelReadsBravo(HWND label) {
    char verdict[kVerdictReadCapacity] = "";
    if (label != nullptr) {
        GetWindowTextA(label, verdict, kVerdictReadCapacity);
    }
    return strcmp(verdict, kVerdictBravo) == 0;
}

// Solved means every verdict label of the question reads "BRAVO": a field edited since
// its last grading still counts by its old verdict. `labelOf(k)` is verdict label 5000 + k.
template <typename LabelOf> int countSolvedQuestions(const Quiz* quiz, LabelOf labelOf) {
    int answers = quiz->answersPerQuestion;
    int solved = 0;
    for (int q = 1; q <= quiz->questionCount; ++q) {
        int right = 0;
        for (int a = 1; a <= answers; ++a) {
            if (labelReadsBravo(labelOf(fieldIndex(q, a, answers)))) {
                ++right;
            }
        }
        if (right == answers) {
            ++solved;
        }
    }
    return solved;
}

void revealAllTexts(const Quiz* quiz, HWND board) {
    for (int q = 1; q <= quiz->questionCount; ++q) {
        const QuestionNode* node = questionAt(quiz, q - 1);
        if (node != nullptr) {
            SetWindowTextA(boardControl(board, revealLabelId(q)), node->revealText);
        }
    }
}

bool everyFieldMatches(const Quiz* quiz, HWND board, int q, const QuestionNode* node) {
    int answers = quiz->answersPerQuestion;
    for (int a = 1; a <= answers; ++a) {
        char typed[kTextCapacity] = "";
        HWND field = boardControl(board, answerFieldId(fieldIndex(q, a, answers)));
        if (field != nullptr) {
            GetWindowTextA(field, typed, kTextCapacity);
        }
        const char* forms[kMaxAnswerForms];
        const int formCount = answerForms(node, a, forms);
        if (!matchesAnyForm(forms, formCount, typed, quiz->tolerances)) {
            return false;
        }
    }
    return true;
}

// The reveal picture replaces the question's picture, centred in a 260 x 260 box that
// starts 10 pixels left of the picture cell. It stays to the end of the run; a later
// solve loads it again and the copy shown before is freed.
void showRevealPicture(const Quiz* quiz, HWND board, int q) {
    HBITMAP picture = loadFittedPicture(GetModuleHandleA(nullptr), revealPictureId(q), "IMG",
                                        kPictureBox, kPictureBox);
    if (picture == nullptr) {
        return;
    }
    BITMAP info;
    GetObjectA(picture, sizeof info, &info);
    HWND control = GetDlgItem(board, pictureControlId(q));
    if (control == nullptr) {
        DeleteObject(picture);
        return;
    }
    HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    PixelRect at = revealPictureRect(q, quiz->answersPerQuestion, quiz->revealMode, info.bmWidth,
                                     info.bmHeight);
    // That is where the picture sits in the board's content. A board scrolled since it was
    // laid out shows every control moved by its scroll positions, and the picture placed now
    // must move with them, or it lands on another question's picture.
    at.x -= GetScrollPos(board, SB_HORZ) * kScrollUnit;
    at.y -= GetScrollPos(board, SB_VERT) * kScrollUnit;
    SetWindowPos(control, HWND_TOPMOST, at.x, at.y, at.width, at.height,
                 SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    UpdateWindow(control);
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    if (shown != nullptr) {
        DeleteObject(shown);
    }
}

void writeScore(const Quiz* quiz, HWND board, int solved) {
    HWND mainWindow = GetParent(board);
    char score[kScoreTextCapacity];
    formatScore(score, solved, quiz->questionCount);
    SetDlgItemTextA(mainWindow, ID_SCORE_BOX, score);
    SetDlgItemTextA(mainWindow, ID_CODE_BOX, codeForScore(quiz, solved));
    if (solved == quiz->questionCount && quiz->revealMode == REVEAL_ALL_TEXTS) {
        revealAllTexts(quiz, board);
    }
}

} // namespace

void refreshScore(const Quiz* quiz, HWND board) {
    writeScore(quiz, board, countSolvedQuestions(quiz, [board](int k) {
                   return boardControl(board, verdictLabelId(answerFieldId(k)));
               }));
}

void revealIfComplete(const Quiz* quiz, HWND board, int q, const QuestionNode* node) {
    if (node == nullptr || !everyFieldMatches(quiz, board, q, node)) {
        return;
    }
    switch (quiz->revealMode) {
    case REVEAL_TEXT:
        SetWindowTextA(boardControl(board, revealLabelId(q)), node->revealText);
        break;
    case REVEAL_TEXT_AND_PICTURE:
        SetWindowTextA(boardControl(board, revealLabelId(q)), node->revealText);
        showRevealPicture(quiz, board, q);
        break;
    case REVEAL_PICTURE:
        showRevealPicture(quiz, board, q);
        break;
    default:
        break;
    }
}
