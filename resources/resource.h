// Resource and control identifiers, one block per family: the one place that numbers them,
// for the resource scripts (windres reads the #defines), the player, quizpack and the tests.
#pragma once

// Resources of a quiz executable.
#define IDR_QUIZ_PACKAGE 104          // "PATCH": the packed quiz package
#define IDR_CODE_TABLE 105            // "PATCH": the packed code table
#define IDR_GRADING_EXTRAS 106        // "PATCH": packed other forms, tolerances, link (optional)
#define IDR_QUESTION_MEDIA_BASE 400   // "IMG" 400 + q: picture or clip of question q
#define IDR_REVEAL_PICTURE_BASE 10400 // "IMG" 10400 + q: reveal picture of question q

// The player's user-interface resources.
#define IDD_BOARD 1001     // question board dialog template
#define IDC_LINK_HAND 1003 // hand cursor of the web link
#define IDI_PLAY 1004      // play button icon
#define IDI_STOP 1005      // stop button icon

// Main window children.
#define ID_HEADER_BOX_SCORE 1
#define ID_HEADER_BOX_CODE 2
#define ID_HEADER_BOX_TITLE 3
#define ID_HEADER_BOX_LINK 4
#define ID_SCORE_BOX 150
#define ID_CODE_LABEL 151
#define ID_WEB_LINK 154
#define ID_CODE_BOX 157
#define ID_VERSION_FOOTER 8000

// Question board children shared by a whole family of labels; they only serve colouring and
// are never used to look a control up.
#define ID_QUESTION_LABEL 3000 // every question label
#define ID_NUMBER_LABEL 153    // every number label
#define ID_COLUMN_LABEL 156    // every column label

// Question board children numbered per answer field, base + k (field index k = 1..180), or
// per question, base + q (q = 1..90); the ranges never overlap.
#define ID_ANSWER_FIELD_BASE 4000
#define ID_VERDICT_LABEL_BASE 5000 // always the field's identifier + 1000
#define ID_PLAY_BUTTON_BASE 6000
#define ID_STOP_BUTTON_BASE 7000
#define ID_REVEAL_LABEL_BASE 8000
#define ID_PICTURE_BASE 9000
#define ID_PLAYER_HOST_BASE 9900

#if defined(__cplusplus) && !defined(RC_INVOKED)

constexpr int questionMediaId(int q) {
    return IDR_QUESTION_MEDIA_BASE + q;
}
constexpr int revealPictureId(int q) {
    return IDR_REVEAL_PICTURE_BASE + q;
}

constexpr int answerFieldId(int k) {
    return ID_ANSWER_FIELD_BASE + k;
}
// The field index k of answer field identifier 4000 + k.
constexpr int answerFieldIndex(int fieldId) {
    return fieldId - ID_ANSWER_FIELD_BASE;
}
// The verdict label of the answer field with identifier `fieldId`.
constexpr int verdictLabelId(int fieldId) {
    return fieldId + (ID_VERDICT_LABEL_BASE - ID_ANSWER_FIELD_BASE);
}
constexpr int playButtonId(int q) {
    return ID_PLAY_BUTTON_BASE + q;
}
constexpr int stopButtonId(int q) {
    return ID_STOP_BUTTON_BASE + q;
}
constexpr int revealLabelId(int q) {
    return ID_REVEAL_LABEL_BASE + q;
}
constexpr int pictureControlId(int q) {
    return ID_PICTURE_BASE + q;
}
constexpr int playerHostId(int q) {
    return ID_PLAYER_HOST_BASE + q;
}

#endif
