#include "window/header_panel_win.h"

#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"

const char kAuthorWebAddress[] = "http://quizz.fr";

namespace {

const COLORREF kHeaderBackground = RGB(128, 128, 255);
const COLORREF kLinkText = RGB(50, 50, 255);

enum HeaderFont { FONT_SYSTEM, FONT_GUI, FONT_LINK };

struct HeaderStatic {
    int id;
    const char* text;
    DWORD style;
    PixelRect rect;
    HeaderFont font;
};

const DWORD kLabel = WS_CHILD | WS_VISIBLE;
const DWORD kFrame = WS_CHILD | WS_VISIBLE | WS_BORDER;

HWND createStatic(HWND parent, const HeaderStatic& row) {
    HWND control = CreateWindowExA(
        0, "Static", row.text, row.style, row.rect.x, row.rect.y, row.rect.width, row.rect.height,
        parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), g_app.instance, nullptr);
    if (control != nullptr && row.font == FONT_GUI) {
        SendMessageA(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    }
    return control;
}

// An underlined font sized from the link's own height, set without redraw, and the hand
// as the cursor of the whole static class: the platform takes a static's cursor from its
// class, so this is the one way the link shows a hand.
void makeLink(HWND link) {
    if (link == nullptr) {
        return;
    }
    if (g_app.linkFont == nullptr) {
        RECT client;
        GetClientRect(link, &client);
        LOGFONTA font = {};
        font.lfHeight = linkFontHeight(client.bottom - client.top);
        font.lfWeight = FW_NORMAL;
        font.lfUnderline = TRUE;
        g_app.linkFont = CreateFontIndirectA(&font);
    }
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(g_app.linkFont), FALSE);
    // A missing cursor resource would leave every static without any cursor at all.
    HCURSOR hand = LoadCursorA(g_app.instance, MAKEINTRESOURCEA(IDC_LINK_HAND));
    if (hand != nullptr) {
        SetClassLongPtrA(link, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
    }
}

} // namespace

const char* shownWebAddress(const Quiz* quiz) {
    return quiz->linkChoice == LINK_AUTHOR ? quiz->link : kAuthorWebAddress;
}

void createHeaderPanel(HWND mainWindow) {
    const Quiz* quiz = g_app.quiz;
    char score[32];
    wsprintfA(score, " 0 / %d", static_cast<int>(quiz->questionCount));
    // A quiz may hide the link (an empty address of its own); it is made all the same, so
    // that the header's controls stay in their order.
    const char* address = shownWebAddress(quiz);
    const DWORD linkStyle = (address[0] != '\0' ? kLabel : WS_CHILD) | SS_NOTIFY;
    // The order is part of the contract: a lookup of 150 finds the first static created
    // with it, which must be the score box.
    const HeaderStatic rows[] = {
        {ID_HEADER_BOX_SCORE, "", kFrame, {5, 2, 100, 24}, FONT_SYSTEM},
        {ID_HEADER_BOX_CODE, "", kFrame, {5, 25, 100, 22}, FONT_SYSTEM},
        {ID_HEADER_BOX_TITLE, "", kFrame, {104, 2, 623, 45}, FONT_SYSTEM},
        {ID_HEADER_BOX_LINK, "", kFrame, {726, 2, 130, 45}, FONT_SYSTEM},
        {ID_CODE_LABEL, " Code :", kLabel, {10, 29, 36, 15}, FONT_GUI},
        {ID_CODE_BOX, " xxxxxx", kLabel, {47, 28, 55, 16}, FONT_GUI},
        {ID_SCORE_BOX, score, kLabel | SS_CENTER, {10, 5, 90, 18}, FONT_SYSTEM},
        {ID_WEB_LINK, address, linkStyle, {736, 5, 115, 18}, FONT_LINK},
        {ID_SCORE_BOX, "Par :", kLabel, {736, 25, 27, 18}, FONT_GUI},
        {ID_SCORE_BOX, quiz->creator, kLabel, {763, 25, 85, 18}, FONT_GUI},
        {ID_SCORE_BOX, quiz->title, kLabel, {110, 3, 220, 18}, FONT_SYSTEM},
        {ID_SCORE_BOX, quiz->explanation, kLabel, {110, 19, 580, 27}, FONT_GUI},
    };
    for (const HeaderStatic& row : rows) {
        HWND control = createStatic(mainWindow, row);
        if (row.font == FONT_LINK) {
            makeLink(control);
        }
    }
}

// Text sits straight on the header's blue; only the link has its own text colour.
HBRUSH headerPanelColours(HDC dc, int id) {
    switch (id) {
    case ID_WEB_LINK:
        SetTextColor(dc, kLinkText);
        break;
    case ID_HEADER_BOX_SCORE:
    case ID_HEADER_BOX_CODE:
    case ID_HEADER_BOX_TITLE:
    case ID_HEADER_BOX_LINK:
    case ID_SCORE_BOX:
    case ID_CODE_LABEL:
    case ID_CODE_BOX:
        break;
    default:
        return nullptr;
    }
    SetBkMode(dc, TRANSPARENT);
    if (g_app.headerBrush == nullptr) {
        g_app.headerBrush = CreateSolidBrush(kHeaderBackground);
    }
    return g_app.headerBrush;
}
