// Which texts fit the player's header and board boxes: widths from the fonts' tables, lines
// broken as a static control breaks them, and how much to cut.
#include <gtest/gtest.h>

#include <string>

#include "quizpack/fit/text_fit.h"

namespace {

TEST(TextFit, MeasuresAndWrapsAsTheStaticControlDraws) {
    struct Row {
        const char* name;
        std::string text;
        TextBox box;
        const char* problem; // "" when it fits
    };
    const std::string w10 = std::string(10, 'W') + " "; // 110 px and a 3 px blank
    auto words = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += w10;
        return s.substr(0, s.size() - 1);
    };
    // GUI font: W 11 px, i 2, & 6, blank 3, average 5; system font: W 14.
    // clang-format off
    const Row rows[] = {
        {"exactly the box's width", "WWWWW", codeBox(), ""},
        {"two pixels more", "WWWWWi", codeBox(),
         "is 57 px wide but its box holds 55: cut about 1 character"},
        {"a border takes a pixel each side", std::string(50, 'W'), questionTextBox(),
         "is 550 px wide but its box holds 548: cut about 1 character"},
        {"a shortcut mark is not drawn", "&WWWWW", codeBox(), ""},
        {"&& draws one &", "WWWWW&&", codeBox(),
         "is 61 px wide but its box holds 55: cut about 1 character"},
        {"a tab reaches the next stop of 8 average widths", "\tW", codeBox(), ""},
        {"a tab after text", "i\tWW", codeBox(),
         "is 62 px wide but its box holds 55: cut about 1 character"},
        {"ten words make two lines", words(10), explanationBox(), ""},
        {"the eleventh word a third", words(11), explanationBox(),
         "takes 3 lines of 580 px but its box shows 2: cut about 9 characters"},
        {"a word wider than the line is broken", std::string(104, 'W'), explanationBox(), ""},
        {"and its rest may need a third line", std::string(105, 'W'), explanationBox(),
         "takes 3 lines of 580 px but its box shows 2: cut about 1 character"},
        {"a line break in a one-line box", "a\nb", creatorBox(),
         "takes 2 lines of 85 px but its box shows 1: cut about 1 character"},
        {"CR LF is one line break", "a\r\nb", explanationBox(), ""},
        {"blanks overhang the line's end", words(10) + "      ", explanationBox(), ""},
        {"the title's system font", std::string(15, 'W'), titleBox(), ""},
        {"the title's system font, one more", std::string(16, 'W'), titleBox(),
         "is 224 px wide but its box holds 220: cut about 1 character"},
        {"words cut where the line breaks", "Les capitales du monde entier et leurs monuments",
         titleBox(), "is 329 px wide but its box holds 220: cut about 14 characters"},
        {"reveal labels show five lines of two words", words(10), revealTextBox(), ""},
        {"the eleventh word a sixth line", words(11), revealTextBox(),
         "takes 6 lines of 260 px but its box shows 5: cut about 7 characters"},
        {"nothing", "", creatorBox(), ""},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::optional<FitProblem> problem = textFitProblem(row.text, row.box);
        EXPECT_EQ(problem ? problem->message : "", row.problem) << row.name;
    }
}

} // namespace
