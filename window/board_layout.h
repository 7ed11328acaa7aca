// Where every control of the question board and the header sits, in pixels of board
// content (board controls) or of the main window's client area (header and footer).
// Pure functions of the quiz's numbers; the board and the reveals create and move the
// real controls from these.
#pragma once

#include "window/layout.h"

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

inline bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

constexpr int kPictureBox = 260; // pictures are fitted into a square of this side

// The controls of one question. A rect of width 0 is a control the quiz type does not
// have. fields[1] and verdicts[1] are used only with two answers per question.
struct QuestionLayout {
    PixelRect questionLabel; // text quizzes
    PixelRect pictureCell;   // picture quizzes: the 260 x 260 box the picture is centred in
    PixelRect revealLabel;   // picture quizzes (shown in reveal modes 2, 3 and 4)
    PixelRect playButton;    // audio and video quizzes
    PixelRect stopButton;
    PixelRect playerHost; // video quizzes
    PixelRect numberLabel;
    PixelRect fields[2];
    PixelRect verdicts[2];
};

// Layout of question q (1-based) for quizType 0..3 and answersPerQuestion 1 or 2.
// Any other quiz type gets an all-empty layout.
QuestionLayout questionLayout(int quizType, int answersPerQuestion, int revealMode, int q);

// The picture control of a w x h bitmap, centred in `cell`.
PixelRect centredInCell(const PixelRect& cell, int width, int height);

// Where a fitted w x h reveal picture of question q goes: centred in a 260 x 260 box whose
// top is the picture cell's and whose left edge is 10 pixels left of the cell's.
PixelRect revealPictureRect(int q, int answersPerQuestion, int revealMode, int width, int height);

// The column-label pair of the row starting with question q (q = 1, 4, 7, ...): its top and
// left edge; the second label sits 20 pixels lower. Left of the row's first column, or in
// text quizzes beside the fields of the row's first question. A board of an unknown quiz
// type, which lays out nothing else, keeps the pairs hidden.
int columnLabelTop(int quizType, int revealMode, int q);
int columnLabelLeft(int quizType);
bool columnLabelsShown(int quizType);
constexpr int kColumnLabelWidth = 95;
constexpr int kColumnLabelHeight = 20;

// Size of the board's scrollable content. The height is 0 for a quiz type outside 0..3.
int boardContentWidth(int quizType, int questionCount, int answersPerQuestion);
int boardContentHeight(int quizType, int questionCount, int answersPerQuestion, int revealMode);

// Field index k of answer a (1 or 2) of question q, counted from 1.
inline int fieldIndex(int q, int a, int answersPerQuestion) {
    return (q - 1) * answersPerQuestion + a;
}

// The question and the answer number (1 or 2) of answer field identifier 4000 + k.
struct FieldOwner {
    int question;
    int answer;
};
FieldOwner fieldOwner(int fieldIdentifier, int answersPerQuestion);

// Top-left corner that centres a window of the given outer rectangle over a reference
// rectangle; the halves are truncated toward zero, so a window wider than the reference
// moves left by the rounded-down half of the difference.
struct PixelPoint {
    int x;
    int y;
};
PixelPoint centredOrigin(int refLeft, int refTop, int refRight, int refBottom, int winLeft,
                         int winTop, int winRight, int winBottom);

// lfHeight of the web link's font for a link client rectangle `height` pixels high.
inline int linkFontHeight(int height) {
    return -((3 * height) / 4);
}

// Where the main window puts its children for a client area of w x h.
PixelRect boardPlacement(int clientWidth, int clientHeight);
PixelRect footerPlacement(int clientWidth, int clientHeight);
// The footer as first created, before the first resize.
PixelRect footerCreationRect(int clientHeight);
