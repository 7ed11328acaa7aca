#include "quizpack/fit/text_fit.h"

#include "content/quiz.h"
#include "window/board_layout.h"
#include "quizpack/common/messages.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The characters drawn: "&" before a character is the shortcut mark, not drawn; "&&" is one.
std::string withoutPrefixes(std::string_view text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            shown += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            shown += '&';
            ++i;
        }
    }
    return shown;
}

// The advance of text[i] drawn at x pixels from the line's start: a tab reaches the next
// stop, eight average widths apart.
int advanceAt(char c, int x, const FontMetrics& font) {
    if (c == '\t') {
        int stop = 8 * font.averageWidth;
        return stop - x % stop;
    }
    return characterWidth(font, static_cast<unsigned char>(c));
}

// Where the line starting at `start` ends and the next begins, as DrawText breaks it.
size_t nextLineStart(const std::string& text, size_t start, const FontMetrics& font,
                     int lineWidth) {
    int x = 0;
    size_t lastBlank = std::string::npos;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        if (isLineBreak(c)) {
            return i + (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
        }
        int advance = advanceAt(c, x, font);
        if (isBlank(c)) {
            lastBlank = i; // blanks at the end of a line may overhang it
        } else if (x + advance > lineWidth && i > start) {
            // A word wider than the line is broken where it overflows.
            return lastBlank == std::string::npos ? i : lastBlank + 1;
        }
        x += advance;
    }
    return text.size();
}

int lineCount(const std::string& shown, const FontMetrics& font, int lineWidth) {
    int lines = 0;
    for (size_t at = 0; at < shown.size(); at = nextLineStart(shown, at, font, lineWidth)) {
        ++lines;
    }
    return lines;
}

// The fewest characters to cut from the end for the rest to fit.
int charactersToCut(std::string_view text, const TextBox& box) {
    int lines = boxLineCount(box);
    int width = boxLineWidth(box);
    for (size_t cut = 1; cut < text.size(); ++cut) {
        std::string shown = withoutPrefixes(text.substr(0, text.size() - cut));
        if (lineCount(shown, *box.font, width) <= lines) {
            return static_cast<int>(cut);
        }
    }
    return static_cast<int>(text.size());
}

} // namespace

int boxLineWidth(const TextBox& box) {
    return box.width - (box.bordered ? 2 : 0);
}

int boxLineCount(const TextBox& box) {
    int lines = (box.height - (box.bordered ? 2 : 0)) / box.font->height;
    return lines > 0 ? lines : 1;
}

int textWidth(std::string_view cp1252, const FontMetrics& font) {
    int x = 0;
    for (char c : withoutPrefixes(cp1252)) {
        x += advanceAt(c, x, font);
    }
    return x;
}

int wrappedLineCount(std::string_view cp1252, const FontMetrics& font, int lineWidth) {
    return lineCount(withoutPrefixes(cp1252), font, lineWidth);
}

std::optional<FitProblem> textFitProblem(std::string_view cp1252, const TextBox& box) {
    int width = boxLineWidth(box);
    int lines = boxLineCount(box);
    int needed = wrappedLineCount(cp1252, *box.font, width);
    if (needed <= lines) {
        return std::nullopt;
    }
    int cut = charactersToCut(cp1252, box);
    bool oneLine = lines == 1 && cp1252.find_first_of("\r\n") == std::string_view::npos;
    // TRANSLATORS: said of a text ("the title"), which comes before it.
    std::string message =
        oneLine ? trn("is {wide} px wide but its box holds {width}: cut about {n} character",
                      "is {wide} px wide but its box holds {width}: cut about {n} characters", cut,
                      {{"wide", textWidth(cp1252, *box.font)}, {"width", width}})
                : trn("takes {needed} lines of {width} px but its box shows {lines}: cut about {n} "
                      "character",
                      "takes {needed} lines of {width} px but its box shows {lines}: cut about {n} "
                      "characters",
                      cut, {{"needed", needed}, {"width", width}, {"lines", lines}});
    return FitProblem{message, tr("the player cuts off what does not fit; shorten it")};
}

// The header panel's statics: the title keeps the system font, the others get the GUI font.
TextBox titleBox() {
    return {&kSystemFont, 220, 18, false};
}
TextBox creatorBox() {
    return {&kGuiFont, 85, 18, false};
}
TextBox explanationBox() {
    return {&kGuiFont, 580, 27, false};
}
TextBox codeBox() {
    return {&kGuiFont, 55, 16, false};
}
TextBox linkBox() {
    return {&kLinkFont, 115, 18, false};
}

bool showsColumnLabels(int quizType) {
    return columnLabelsShown(quizType);
}
TextBox columnLabelBox() {
    return {&kGuiFont, kColumnLabelWidth, kColumnLabelHeight, false};
}
TextBox questionTextBox() {
    PixelRect label = questionLayout(QUIZ_TEXT, 1, REVEAL_NOTHING, 1).questionLabel;
    return {&kGuiFont, label.width, label.height, true};
}
TextBox revealTextBox() {
    PixelRect label = questionLayout(QUIZ_PICTURE, 1, REVEAL_TEXT, 1).revealLabel;
    return {&kGuiFont, label.width, label.height, false};
}
