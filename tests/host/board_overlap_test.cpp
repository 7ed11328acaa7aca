// Every board the layout can make is readable: no question label, answer field, verdict
// label or column label covers another, and all of them lie within the scrollable content.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "window/board_layout.h"

namespace {

struct Placed {
    std::string what;
    PixelRect rect;
};

// Bordered controls may share their border line, as stacked fields do; anything more hides
// a part of one of them.
bool overlap(const PixelRect& a, const PixelRect& b) {
    int across = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    int down = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return across > 1 && down > 1;
}

void add(std::vector<Placed>* placed, const std::string& what, const PixelRect& r) {
    if (r.width > 0 && r.height > 0) {
        placed->push_back({what, r});
    }
}

std::vector<Placed> boardControls(int kind, int answers, int revealMode, int count) {
    std::vector<Placed> placed;
    if (answers == 2 && columnLabelsShown(kind)) {
        for (int q = 1; q <= count; q += 3) {
            int top = columnLabelTop(kind, revealMode, q);
            for (int a = 0; a < 2; ++a) {
                add(&placed, "column label " + std::to_string(a + 1) + " of q" + std::to_string(q),
                    {columnLabelLeft(kind), top + a * kColumnLabelHeight, kColumnLabelWidth,
                     kColumnLabelHeight});
            }
        }
    }
    for (int q = 1; q <= count; ++q) {
        QuestionLayout l = questionLayout(kind, answers, revealMode, q);
        std::string of = " of q" + std::to_string(q);
        add(&placed, "question label" + of, l.questionLabel);
        for (int a = 0; a < answers; ++a) {
            add(&placed, "field " + std::to_string(a + 1) + of, l.fields[a]);
            add(&placed, "verdict " + std::to_string(a + 1) + of, l.verdicts[a]);
        }
    }
    return placed;
}

// The first control outside the content, or the first pair that overlaps.
::testing::AssertionResult readable(int kind, int answers, int revealMode, int count) {
    std::vector<Placed> placed = boardControls(kind, answers, revealMode, count);
    if (placed.size() < static_cast<size_t>(count * answers * 2)) {
        return ::testing::AssertionFailure() << "only " << placed.size() << " controls";
    }
    int width = boardContentWidth(kind, count, answers);
    int height = boardContentHeight(kind, count, answers, revealMode);
    for (size_t i = 0; i < placed.size(); ++i) {
        const PixelRect& r = placed[i].rect;
        if (r.x < 0 || r.y < 0 || r.x + r.width > width || r.y + r.height > height) {
            return ::testing::AssertionFailure() << placed[i].what << " lies outside the " << width
                                                 << " x " << height << " content";
        }
        for (size_t j = i + 1; j < placed.size(); ++j) {
            if (overlap(r, placed[j].rect)) {
                return ::testing::AssertionFailure()
                       << placed[i].what << " overlaps " << placed[j].what;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(BoardOverlap, NoControlCoversAnotherOnAnyBoard) {
    const char* const kinds[] = {"text", "picture", "audio", "video"};
    const int counts[] = {1, 2, 3, 90};
    for (int kind = 0; kind < 4; ++kind) {
        for (int answers = 1; answers <= 2; ++answers) {
            for (int revealMode = 0; revealMode <= 4; ++revealMode) {
                for (int count : counts) {
                    EXPECT_TRUE(readable(kind, answers, revealMode, count))
                        << kinds[kind] << ", " << answers << " answers, reveal mode " << revealMode
                        << ", " << count << " questions";
                }
            }
        }
    }
}

} // namespace
