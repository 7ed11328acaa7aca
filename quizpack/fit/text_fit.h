// Whether a text fits the static control the player shows it in. A static control draws its
// text as DrawText does with DT_WORDBREAK, DT_EXPANDTABS and prefix processing: lines break
// at blanks (a word wider than a line is broken where it overflows), at line breaks in the
// text, and "&" marks the next character as a shortcut ("&&" shows one "&"). What falls
// outside the control is clipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "quizpack/fit/font_metrics.h"

struct TextBox {
    const FontMetrics* font;
    int width; // the control's outer size
    int height;
    bool bordered; // WS_BORDER takes one pixel on each side
};

int boxLineWidth(const TextBox& box);
int boxLineCount(const TextBox& box); // whole lines of the font, at least 1

// Width in pixels of the text drawn on one line, without wrapping.
int textWidth(std::string_view cp1252, const FontMetrics& font);

// The lines the text takes when wrapped to `lineWidth` pixels (0 for an empty text).
int wrappedLineCount(std::string_view cp1252, const FontMetrics& font, int lineWidth);

struct FitProblem {
    std::string message; // "is 263 px wide but its box holds 220: cut about 6 characters"
    std::string hint;
};

// Nothing when the text shows whole in the box; else what does not fit, to follow the
// text's name ("the title"), and how many characters to cut from its end.
std::optional<FitProblem> textFitProblem(std::string_view cp1252, const TextBox& box);

// The boxes of the player's header and board (its header panel and board layout).
TextBox titleBox();
TextBox creatorBox();
TextBox explanationBox();
TextBox codeBox();
TextBox linkBox();        // the author's own link, in the header's link font
TextBox columnLabelBox(); // shown with two answers, in quizzes where showsColumnLabels
bool showsColumnLabels(int quizType);
TextBox questionTextBox(); // text quizzes
TextBox revealTextBox();   // picture quizzes
