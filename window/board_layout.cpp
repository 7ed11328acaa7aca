#include "window/board_layout.h"

#include "resources/resource.h"

namespace {

constexpr int kQuizText = 0;
constexpr int kQuizPicture = 1;
constexpr int kQuizAudio = 2;
constexpr int kQuizVideo = 3;

constexpr PixelRect kNone = {0, 0, 0, 0};
constexpr int kNumberWidth = 19;
constexpr int kNumberHeight = 17;

// The answer fields and, with two answers, their verdict labels follow from one box per
// question: its left edge, top and width.
struct FieldBox {
    int x;
    int y;
    int width;
};

void placeFields(QuestionLayout* layout, FieldBox box, int answersPerQuestion,
                 PixelRect singleVerdict) {
    if (answersPerQuestion != 2) {
        layout->fields[0] = {box.x, box.y, box.width, 20};
        layout->verdicts[0] = singleVerdict;
        return;
    }
    for (int a = 0; a < 2; ++a) {
        layout->fields[a] = {box.x, box.y + 20 * a, box.width - 50, 21};
        layout->verdicts[a] = {box.x + box.width - 45, box.y + 1 + 20 * a, 60, 17};
    }
}

// Two-answer text rows stack their fields as the other boards do. Left to right they hold
// the question sentence (narrower than with one answer, but two lines high), the column
// labels of the row's first question, the fields wide enough for a name, and the verdict
// labels, which end at x 810 as in one-answer rows.
constexpr int kDuoTextQuestionWidth = 390;
constexpr int kDuoTextQuestionHeight = 41; // both fields' lines
constexpr int kDuoTextFieldsX = 550;
constexpr int kDuoTextBoxWidth = 245; // fields of 195, verdict labels from x 750
constexpr int kDuoTextColumnLabelX = kDuoTextFieldsX - 5 - kColumnLabelWidth;
constexpr int kDuoTextColumnLabelDrop = 3; // level with the fields' text

void layOutText(QuestionLayout* layout, int answersPerQuestion, int q) {
    int y = textRowY(q, answersPerQuestion);
    layout->numberLabel = {30, y + 3, kNumberWidth, kNumberHeight};
    if (answersPerQuestion == 2) {
        layout->questionLabel = {50, y, kDuoTextQuestionWidth, kDuoTextQuestionHeight};
        placeFields(layout, {kDuoTextFieldsX, y, kDuoTextBoxWidth}, answersPerQuestion, kNone);
        return;
    }
    layout->questionLabel = {50, y, 550, 20};
    placeFields(layout, {615, y, 100}, answersPerQuestion, {720, y - 1, 90, 20});
}

void layOutPicture(QuestionLayout* layout, int answersPerQuestion, int revealMode, int q) {
    int x = columnX(q, answersPerQuestion);
    int y = pictureRowY(q, revealMode);
    layout->pictureCell = {x + 30, y - 260, kPictureBox, kPictureBox};
    layout->revealLabel = {x + 30, y + 56, 260, 65};
    layout->numberLabel = {x + 10, y + 12, kNumberWidth, kNumberHeight};
    int boxWidth = answersPerQuestion == 2 ? 240 : 260;
    placeFields(layout, {x + 30, y + 10, boxWidth}, answersPerQuestion, {x + 30, y + 29, 260, 20});
}

void layOutAudio(QuestionLayout* layout, int answersPerQuestion, int q) {
    int x = columnX(q, answersPerQuestion);
    int y = audioRowY(q);
    layout->playButton = {x + 30, y, 20, 21};
    layout->stopButton = {x + 30, y + 21, 20, 20};
    layout->numberLabel = {x + 10, y + 2, kNumberWidth, kNumberHeight};
    placeFields(layout, {x + 50, y, 220}, answersPerQuestion, {x + 50, y + 19, 220, 20});
}

void layOutVideo(QuestionLayout* layout, int answersPerQuestion, int revealMode, int q) {
    int x = columnX(q, answersPerQuestion);
    int y = pictureRowY(q, revealMode);
    layout->playButton = {x + 15, y - 40, 20, 20};
    layout->stopButton = {x + 15, y - 20, 20, 20};
    layout->playerHost = {x + 15, y - 250, 200, 150};
    layout->numberLabel = {x - 10, y - 36, kNumberWidth, kNumberHeight};
    placeFields(layout, {x + 35, y - 40, 230}, answersPerQuestion, {x + 35, y - 21, 230, 20});
}

} // namespace

QuestionLayout questionLayout(int quizType, int answersPerQuestion, int revealMode, int q) {
    QuestionLayout layout = {kNone, kNone, kNone,          kNone,         kNone,
                             kNone, kNone, {kNone, kNone}, {kNone, kNone}};
    switch (quizType) {
    case kQuizText:
        layOutText(&layout, answersPerQuestion, q);
        break;
    case kQuizPicture:
        layOutPicture(&layout, answersPerQuestion, revealMode, q);
        break;
    case kQuizAudio:
        layOutAudio(&layout, answersPerQuestion, q);
        break;
    case kQuizVideo:
        layOutVideo(&layout, answersPerQuestion, revealMode, q);
        break;
    default:
        break;
    }
    return layout;
}

PixelRect centredInCell(const PixelRect& cell, int width, int height) {
    return {cell.x + (cell.width - width) / 2, cell.y + (cell.height - height) / 2, width, height};
}

PixelRect revealPictureRect(int q, int answersPerQuestion, int revealMode, int width, int height) {
    PixelRect box = {columnX(q, answersPerQuestion) + 20, pictureRowY(q, revealMode) - 260,
                     kPictureBox, kPictureBox};
    return centredInCell(box, width, height);
}

int columnLabelTop(int quizType, int revealMode, int q) {
    switch (quizType) {
    case kQuizPicture:
        return pictureRowY(q, revealMode) + 12;
    case kQuizAudio:
        return audioRowY(q) + 5;
    case kQuizVideo:
        // Right above the number label: level with the fields (from Y - 40) they would run
        // into the number label, which sits left of the column at X - 10.
        return pictureRowY(q, revealMode) - 80;
    case kQuizText:
        return textRowY(q, 2) + kDuoTextColumnLabelDrop;
    default:
        return 0;
    }
}

int columnLabelLeft(int quizType) {
    return quizType == kQuizText ? kDuoTextColumnLabelX : 3;
}

bool columnLabelsShown(int quizType) {
    return quizType >= kQuizText && quizType <= kQuizVideo;
}

int boardContentWidth(int quizType, int questionCount, int answersPerQuestion) {
    if (quizType == kQuizText || questionCount <= 2) {
        return 830;
    }
    return answersPerQuestion == 1 ? 890 : 980;
}

int boardContentHeight(int quizType, int questionCount, int answersPerQuestion, int revealMode) {
    int rows = (questionCount + 2) / 3;
    int rowHeight = revealMode == 2 || revealMode == 3 ? 390 : 330;
    switch (quizType) {
    case kQuizText:
        return textRowSpacing(answersPerQuestion) * questionCount + 25;
    case kQuizPicture:
    case kQuizVideo:
        return rows * rowHeight + 25;
    case kQuizAudio:
        return audioRowY(questionCount + 3);
    default:
        return 0;
    }
}

FieldOwner fieldOwner(int fieldIdentifier, int answersPerQuestion) {
    int k = answerFieldIndex(fieldIdentifier);
    if (answersPerQuestion == 2) {
        return {(k + 1) / 2, k % 2 != 0 ? 1 : 2};
    }
    return {k, 1};
}

PixelPoint centredOrigin(int refLeft, int refTop, int refRight, int refBottom, int winLeft,
                         int winTop, int winRight, int winBottom) {
    return {refLeft + ((refRight - refLeft) - (winRight - winLeft)) / 2,
            refTop + ((refBottom - refTop) - (winBottom - winTop)) / 2};
}

PixelRect boardPlacement(int clientWidth, int clientHeight) {
    return {5, 50, clientWidth - 11, clientHeight - 68};
}

PixelRect footerPlacement(int clientWidth, int clientHeight) {
    return {clientWidth - 145, clientHeight - 16, 130, 15};
}

PixelRect footerCreationRect(int clientHeight) {
    return {725, clientHeight - 16, 130, 15};
}
