// The advance widths of the fonts the player draws its header and board texts in, so that
// quizpack can tell, on any platform and with no font installed, which texts will not fit
// their boxes. The tables are generated (font_metrics_tables.cpp).
#pragma once

#include <cstdint>

struct FontMetrics {
    const char* face;
    int points;
    int height;          // pixels per line
    int averageWidth;    // tab stops are eight of these apart
    uint8_t widths[224]; // advance in pixels of the Windows-1252 character 0x20 + i
};

// DEFAULT_GUI_FONT: MS Sans Serif 8 pt, 13 pixels high at 96 dpi.
extern const FontMetrics kGuiFont;
// The system font, which statics given no font draw in: System, 16 pixels high.
extern const FontMetrics kSystemFont;
// The header link's font, whose face the player leaves unnamed at 13 pixels to the base
// line: taken as MS Sans Serif 10 pt, the bitmap face of that size (Windows' own choice for
// an unnamed face may differ; Wine draws it in a wider fallback face).
extern const FontMetrics kLinkFont;

// The advance of one Windows-1252 character; 0 for control characters.
inline int characterWidth(const FontMetrics& font, unsigned char c) {
    return c < 0x20 ? 0 : font.widths[c - 0x20];
}
