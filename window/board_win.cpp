#include "window/board_win.h"

#include "media/media_commands_win.h"
#include "media/picture_win.h"
#include "progress/answers_file_win.h"
#include "resources/resource.h"
#include "window/answer_field_win.h"
#include "window/app_state_win.h"
#include "window/board_colours_win.h"
#include "window/board_controls_win.h"
#include "window/board_layout.h"
#include "window/board_scroll_win.h"
#include "window/field_grading_win.h"

namespace {

const DWORD kShown = WS_CHILD | WS_VISIBLE;
const DWORD kAnswerFieldStyle = kShown | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL;
const DWORD kVerdictStyle = kShown | WS_BORDER | WS_TABSTOP | SS_CENTER;
const DWORD kMediaButtonStyle = kShown | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_ICON;

HFONT guiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// One board control at its content position (the scroll positions are 0 while the board
// is built). `font` null leaves the control with the platform's default font.
HWND createControl(HWND board, const char* className, const char* text, DWORD style,
                   const PixelRect& at, int id, HFONT font) {
    HWND control =
        CreateWindowExA(0, className, text, style, at.x, at.y, at.width, at.height, board,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_app.instance, nullptr);
    if (control != nullptr && font != nullptr) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    rememberBoardControl(board, control);
    return control;
}

void createMediaButton(HWND board, const PixelRect& at, int id, HICON icon) {
    HWND button = createControl(board, "Button", "", kMediaButtonStyle, at, id, nullptr);
    if (button != nullptr) {
        SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

// One pair of column labels (answerLabel1 over answerLabel2) per row of three questions.
void createColumnLabels(HWND board, const Quiz* quiz) {
    DWORD style = columnLabelsShown(quiz->quizType) ? kShown : WS_CHILD;
    for (int q = 1; q <= quiz->questionCount; q += 3) {
        int top = columnLabelTop(quiz->quizType, quiz->revealMode, q);
        int left = columnLabelLeft(quiz->quizType);
        PixelRect first = {left, top, kColumnLabelWidth, kColumnLabelHeight};
        PixelRect second = {left, top + kColumnLabelHeight, kColumnLabelWidth, kColumnLabelHeight};
        createControl(board, "Static", quiz->answerLabel1, style, first, ID_COLUMN_LABEL,
                      guiFont());
        createControl(board, "Static", quiz->answerLabel2, style, second, ID_COLUMN_LABEL,
                      guiFont());
    }
}

// The picture control, sized to the fitted picture and centred in its cell; an empty
// bordered cell when the question has no picture. The control owns the bitmap.
void createPicture(HWND board, const QuestionLayout& layout, int q) {
    HBITMAP picture = loadFittedPicture(GetModuleHandleA(nullptr), questionMediaId(q), "IMG",
                                        kPictureBox, kPictureBox);
    int width = kPictureBox;
    int height = kPictureBox;
    if (picture != nullptr) {
        BITMAP info;
        GetObjectA(picture, sizeof info, &info);
        width = info.bmWidth;
        height = info.bmHeight;
    }
    HWND control = createControl(
        board, "Static", nullptr, kShown | WS_BORDER | SS_BITMAP | SS_CENTERIMAGE,
        centredInCell(layout.pictureCell, width, height), pictureControlId(q), nullptr);
    if (picture == nullptr) {
        return;
    }
    if (control == nullptr) {
        DeleteObject(picture);
        return;
    }
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

// The controls that come before the number label. False when a video player cannot be
// made: the board then stops where it is.
bool createQuestionMedia(HWND board, const Quiz* quiz, const QuestionLayout& layout, int q) {
    switch (quiz->quizType) {
    case QUIZ_TEXT: {
        const QuestionNode* node = questionAt(quiz, q - 1);
        createControl(board, "Static", node != nullptr ? node->questionText : "",
                      kShown | WS_BORDER | SS_CENTER, layout.questionLabel, ID_QUESTION_LABEL,
                      guiFont());
        return true;
    }
    case QUIZ_PICTURE:
        createPicture(board, layout, q);
        if (quiz->revealMode == REVEAL_TEXT || quiz->revealMode == REVEAL_TEXT_AND_PICTURE ||
            quiz->revealMode == REVEAL_ALL_TEXTS) {
            createControl(board, "Static", "", kShown | WS_TABSTOP | SS_CENTER, layout.revealLabel,
                          revealLabelId(q), guiFont());
        }
        return true;
    case QUIZ_AUDIO:
        createMediaButton(board, layout.playButton, playButtonId(q), g_app.playIcon);
        createMediaButton(board, layout.stopButton, stopButtonId(q), g_app.stopIcon);
        return true;
    case QUIZ_VIDEO:
        createMediaButton(board, layout.playButton, playButtonId(q), g_app.playIcon);
        createMediaButton(board, layout.stopButton, stopButtonId(q), g_app.stopIcon);
        createControl(board, "Static", nullptr, kShown | WS_BORDER, layout.playerHost,
                      playerHostId(q), nullptr);
        return createQuestionPlayer(g_app.media, g_app.instance, board, q);
    default:
        return true;
    }
}

// Answer field k with its saved text, and its verdict label, graded at once so that the
// header's score counts a restored answer before anything is shown.
void createAnswer(HWND board, const Quiz* quiz, const PixelRect& fieldAt,
                  const PixelRect& verdictAt, int k, SavedAnswers* saved) {
    char text[kTextCapacity];
    readSavedAnswer(saved, text);
    int fieldId = answerFieldId(k);
    HWND field = createControl(board, "Edit", text, kAnswerFieldStyle, fieldAt, fieldId, guiFont());
    if (quiz->answersPerQuestion == 1) {
        // The field created before this one loses the focus and is graded by its own rule.
        SetFocus(field);
    }
    subclassAnswerField(field);
    createControl(board, "Static", "?", kVerdictStyle, verdictAt, verdictLabelId(fieldId),
                  quiz->answersPerQuestion == 2 ? guiFont() : nullptr);
    gradeAnswerField(quiz, board, fieldId);
}

void createNumberLabel(HWND board, const PixelRect& at, int q) {
    char number[16];
    wsprintfA(number, "%d.", q);
    createControl(board, "Static", number, kShown | SS_RIGHT, at, ID_NUMBER_LABEL, nullptr);
}

// WM_INITDIALOG: every control of every question, in question order.
INT_PTR onBoardInit(HWND board) {
    updateScrollRanges(board);
    const Quiz* quiz = g_app.quiz;
    SavedAnswers saved;
    openSavedAnswers(&saved);
    if (quiz->quizType == QUIZ_AUDIO || quiz->quizType == QUIZ_VIDEO) {
        g_app.playIcon = LoadIconA(g_app.instance, MAKEINTRESOURCEA(IDI_PLAY));
        g_app.stopIcon = LoadIconA(g_app.instance, MAKEINTRESOURCEA(IDI_STOP));
    }
    int answers = quiz->answersPerQuestion;
    if (answers == 2) {
        createColumnLabels(board, quiz);
    }
    for (int q = 1; q <= quiz->questionCount; ++q) {
        QuestionLayout layout = questionLayout(quiz->quizType, answers, quiz->revealMode, q);
        if (!createQuestionMedia(board, quiz, layout, q)) {
            break;
        }
        createNumberLabel(board, layout.numberLabel, q);
        for (int a = 1; a <= answers; ++a) {
            createAnswer(board, quiz, layout.fields[a - 1], layout.verdicts[a - 1],
                         fieldIndex(q, a, answers), &saved);
        }
    }
    closeSavedAnswers(&saved);
    return TRUE;
}

// WM_COMMAND: a click (notification 0) on a play or stop button of an audio or video quiz.
INT_PTR onBoardCommand(HWND board, WPARAM wParam) {
    int type = g_app.quiz->quizType;
    if (type != QUIZ_AUDIO && type != QUIZ_VIDEO) {
        return FALSE;
    }
    if (wParam > ID_PLAY_BUTTON_BASE && wParam <= ID_PLAY_BUTTON_BASE + kMaxQuestions) {
        playQuestionMedia(g_app.media, g_app.instance, type, board,
                          static_cast<int>(wParam) - ID_PLAY_BUTTON_BASE);
    } else if (wParam > ID_STOP_BUTTON_BASE && wParam <= ID_STOP_BUTTON_BASE + kMaxQuestions) {
        stopQuestionMedia(g_app.media, type);
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK boardDialogProc(HWND board, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return onBoardInit(board);
    case WM_COMMAND:
        return onBoardCommand(board, wParam);
    case WM_CTLCOLORDLG:
        return onBoardCtlColorDialog();
    case WM_CTLCOLORSTATIC:
        return onBoardCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SIZE:
        return onBoardSize(board);
    case WM_VSCROLL:
        return onBoardScroll(board, SB_VERT, wParam);
    case WM_HSCROLL:
        return onBoardScroll(board, SB_HORZ, wParam);
    case WM_MOUSEWHEEL:
        return onBoardWheel(board, wParam);
    case WM_DESTROY:
        forgetBoardControls(board);
        return FALSE;
    default:
        return FALSE;
    }
}
