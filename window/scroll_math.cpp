#include "window/scroll_math.h"

#include "window/board_layout.h"

BarSetting barSetting(int clientPixels, int contentPixels) {
    BarSetting setting = {clientPixels / kScrollUnit, false, 0, contentPixels - 2, 0};
    if (setting.pageUnits >= contentPixels) {
        setting.pageUnits = contentPixels;
        setting.resetPosition = true;
    }
    // A board with no height (its window minimised) would otherwise hand the platform a
    // page of -1, which Windows reads as the whole range and answers by scrolling to the top.
    setting.page = setting.pageUnits > 0 ? setting.pageUnits - 1 : 0;
    return setting;
}

int requestedPosition(ScrollAxis axis, int code, const BarState& bar) {
    int line = axis == SCROLL_DOWN ? kVerticalLine : kHorizontalLine;
    int p = bar.position;
    switch (code) {
    case SCROLL_LINE_BACK:
        p = bar.position - line;
        break;
    case SCROLL_LINE_ON:
        p = bar.position + line;
        break;
    case SCROLL_PAGE_BACK:
        p = bar.position - bar.page;
        break;
    case SCROLL_PAGE_ON:
        p = bar.position + bar.page;
        break;
    case SCROLL_THUMB_DRAG:
        p = bar.trackPosition;
        break;
    case SCROLL_TO_START:
        if (axis == SCROLL_DOWN) {
            p = 0;
        }
        break;
    case SCROLL_TO_END:
        if (axis == SCROLL_DOWN) {
            p = bar.maximum;
        }
        break;
    default: // SB_THUMBPOSITION: the content already followed the thumb
        break;
    }
    if (p > bar.maximum) {
        p = bar.maximum;
    }
    if (p < bar.minimum) {
        p = bar.minimum;
    }
    return p;
}

int largestPosition(const BarState& bar) {
    int page = bar.page > 0 ? bar.page : 1;
    int largest = bar.maximum - page + 1;
    return largest > bar.minimum ? largest : bar.minimum;
}

int wheelRequest(unsigned delta) {
    if (delta == kWheelNotchUp) {
        return SCROLL_LINE_BACK;
    }
    if (delta == kWheelNotchDown) {
        return SCROLL_LINE_ON;
    }
    return -1;
}

int positionShowing(int position, int viewSize, int largest, int spanStart, int spanEnd,
                    int fieldEnd) {
    if (spanStart >= position && spanEnd <= position + viewSize) {
        return position;
    }
    int p = spanStart;
    if (fieldEnd > p + viewSize) {
        p = fieldEnd - viewSize;
    }
    if (p > largest) {
        p = largest;
    }
    return p < 0 ? 0 : p;
}

namespace {

void widen(Extent* extent, const PixelRect& r) {
    if (r.width == 0 || r.height == 0) {
        return;
    }
    if (r.y < extent->start) {
        extent->start = r.y;
    }
    if (r.y + r.height > extent->end) {
        extent->end = r.y + r.height;
    }
}

} // namespace

Extent rowExtent(int quizType, int answersPerQuestion, int revealMode, int questionCount,
                 int first) {
    Extent extent = {0, 0};
    bool any = false;
    for (int q = first; q < first + 3 && q <= questionCount; ++q) {
        QuestionLayout l = questionLayout(quizType, answersPerQuestion, revealMode, q);
        if (!any) {
            extent = {l.numberLabel.y, l.numberLabel.y + l.numberLabel.height};
            any = true;
        }
        const PixelRect* parts[] = {&l.questionLabel, &l.pictureCell, &l.playButton, &l.stopButton,
                                    &l.playerHost,    &l.numberLabel, &l.fields[0],  &l.fields[1],
                                    &l.verdicts[0],   &l.verdicts[1]};
        for (const PixelRect* part : parts) {
            widen(&extent, *part);
        }
        if (revealMode == 2 || revealMode == 3 || revealMode == 4) {
            widen(&extent, l.revealLabel);
        }
    }
    return extent;
}
