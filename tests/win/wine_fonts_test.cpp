// The Wine prefix draws with the faces Windows programs expect (the test command sets it up):
// the dialog and GUI font is MS Sans Serif, the system font System, and Marlett is there for
// the caption buttons; with these metrics the header's one-line texts fit their controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/main_window_win.h"

using namespace test_support;

namespace {

struct Measured {
    std::string face;
    TEXTMETRICA metrics;
    SIZE extent;
};

Measured measure(HFONT font, const std::string& text) {
    Measured m = {};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    m.face = face;
    GetTextMetricsA(dc, &m.metrics);
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &m.extent);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return m;
}

HFONT namedFont(const char* face, int height, BYTE charset) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfCharSet = charset;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

} // namespace

TEST(WineFonts, GuiFontIsMsSansSerifSystemFontIsSystemAndMarlettIsThere) {
    const std::string sample = " Code : R\xE9"
                               "alis\xE9 avec la version 2.1";
    HFONT sansSerif = namedFont("MS Sans Serif", -11, DEFAULT_CHARSET);
    Measured gui = measure(guiFont(), sample);
    Measured expected = measure(sansSerif, sample);
    EXPECT_EQ(gui.extent.cx, expected.extent.cx) << "DEFAULT_GUI_FONT is not MS Sans Serif";
    EXPECT_EQ(gui.metrics.tmHeight, 13);
    EXPECT_EQ(gui.metrics.tmAveCharWidth, 5);
    EXPECT_EQ(measure(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), sample).face, "System");
    HFONT marlett = namedFont("Marlett", -11, DEFAULT_CHARSET);
    Measured symbols = measure(marlett, "r");
    EXPECT_EQ(symbols.face, "Marlett");
    EXPECT_EQ(symbols.metrics.tmCharSet, SYMBOL_CHARSET);
    DeleteObject(marlett);
    DeleteObject(sansSerif);
}

// Every one-line text of the header and the footer, in its own font, within its control.
TEST(WineFonts, HeaderAndFooterTextsFitTheirControls) {
    PlayerWindows windows(makeNumberedQuiz(QUIZ_TEXT, 1, REVEAL_NOTHING, 90),
                          PlayerWindows::MAIN_ONLY);
    ASSERT_NE(windows.main(), nullptr);
    int checked = 0;
    for (HWND child = GetWindow(windows.main(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        std::string text = textOf(child);
        HFONT font = fontOf(child);
        Measured m = measure(font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), text);
        RECT client;
        GetClientRect(child, &client);
        if (text.empty() || client.bottom >= 2 * m.metrics.tmHeight) {
            continue; // the frame boxes, and the explanation, which has room for two lines
        }
        EXPECT_LE(m.extent.cx, client.right) << '"' << text << "\" in " << m.face;
        ++checked;
    }
    EXPECT_GE(checked, 8);
}
