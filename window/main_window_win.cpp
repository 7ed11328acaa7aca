#include "window/main_window_win.h"

#include "progress/answers_file_win.h"
#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"
#include "window/header_panel_win.h"

const char kMainWindowClass[] = "WindowsApp";
// Windows-1252; the version is the project's (CMakeLists.txt).
const char kVersionFooterText[] = "R\xE9"
                                  "alis\xE9 avec la version " QUIZZ_VERSION;

namespace {

const COLORREF kFooterBackground = RGB(212, 208, 200);
const short kWheelNotch = 120;

void moveControl(HWND control, const PixelRect& rect, UINT flags) {
    SetWindowPos(control, nullptr, rect.x, rect.y, rect.width, rect.height, flags);
}

// WM_CREATE: the footer, the header panel, the board's content size and the large icon.
LRESULT onCreate(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    PixelRect at = footerCreationRect(client.bottom);
    HWND footer = CreateWindowExA(0, "Static", kVersionFooterText, WS_CHILD | WS_VISIBLE, at.x,
                                  at.y, at.width, at.height, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VERSION_FOOTER)),
                                  g_app.instance, nullptr);
    SendMessageA(footer, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    createHeaderPanel(window);
    const Quiz* quiz = g_app.quiz;
    g_app.boardVirtualWidth =
        boardContentWidth(quiz->quizType, quiz->questionCount, quiz->answersPerQuestion);
    g_app.boardVirtualHeight = boardContentHeight(quiz->quizType, quiz->questionCount,
                                                  quiz->answersPerQuestion, quiz->revealMode);
    SendMessageA(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconA(nullptr, IDI_QUESTION)));
    return 0;
}

// WM_CLOSE: the answers are saved and the quit is posted; the window stays until the
// shut-down after the loop. Without a board there are no fields, and writing would only
// replace the saved answers by empty ones.
void onClose() {
    if (g_app.board != nullptr) {
        writeAnswersFile(g_app.quiz, g_app.board);
    }
    DeleteFileA("quizz.mp3");
    PostQuitMessage(0);
}

// WM_QUERYENDSESSION: Windows asks whether the session may end. A forced shut-down can end
// the process before WM_ENDSESSION arrives, so the answers are saved now; ending is allowed.
LRESULT onQueryEndSession() {
    if (g_app.board != nullptr) {
        writeAnswersFile(g_app.quiz, g_app.board);
    }
    return TRUE;
}

// WM_ENDSESSION: Windows is ending the session and no WM_CLOSE will come, so the answers
// typed since the start are saved here or lost.
void onEndSession(WPARAM ending) {
    if (ending && g_app.board != nullptr) {
        writeAnswersFile(g_app.quiz, g_app.board);
    }
}

// WM_KEYDOWN: the main window has the focus, so the keys scroll the board.
void onKeyDown(WPARAM virtualKey) {
    SendMessageA(g_app.board, WM_VSCROLL, MAKEWPARAM(scrollRequestForKey(virtualKey), 0), 0);
}

// WM_MOUSEWHEEL: one notch, one line; a wheel reporting several notches at once (or a
// fraction of one) does not scroll.
void onMouseWheel(WPARAM wParam) {
    short delta = static_cast<short>(HIWORD(wParam));
    if (delta == kWheelNotch) {
        PostMessageA(g_app.board, WM_VSCROLL, SB_LINEUP, 0);
    } else if (delta == -kWheelNotch) {
        PostMessageA(g_app.board, WM_VSCROLL, SB_LINEDOWN, 0);
    }
}

// WM_COMMAND: only a click on the link (control 154, STN_CLICKED) does anything.
void onCommand(WPARAM wParam) {
    const char* address = shownWebAddress(g_app.quiz);
    if (wParam == ID_WEB_LINK && address[0] != '\0') {
        g_app.openWebAddress(address);
    }
}

// WM_CTLCOLORSTATIC for the header and the footer; other statics keep the system colours.
LRESULT onCtlColorStatic(HDC dc, HWND control) {
    int id = GetDlgCtrlID(control);
    HBRUSH brush = headerPanelColours(dc, id);
    if (brush != nullptr) {
        return reinterpret_cast<LRESULT>(brush);
    }
    if (id != ID_VERSION_FOOTER) {
        return 0;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    if (g_app.footerBrush == nullptr) {
        g_app.footerBrush = CreateSolidBrush(kFooterBackground);
    }
    return reinterpret_cast<LRESULT>(g_app.footerBrush);
}

} // namespace

int scrollRequestForKey(WPARAM virtualKey) {
    switch (virtualKey) {
    case VK_PRIOR:
        return SB_PAGEUP;
    case VK_NEXT:
        return SB_PAGEDOWN;
    case VK_END:
        return SB_BOTTOM;
    case VK_HOME:
        return SB_TOP;
    case VK_UP:
        return SB_LINEUP;
    case VK_DOWN:
        return SB_LINEDOWN;
    default:
        return kScrollNothing;
    }
}

void layOutMainWindow(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    if (g_app.board != nullptr) {
        moveControl(g_app.board, boardPlacement(client.right, client.bottom), SWP_NOZORDER);
    }
    moveControl(GetDlgItem(window, ID_VERSION_FOOTER), footerPlacement(client.right, client.bottom),
                SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_SIZE:
        layOutMainWindow(window);
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_QUERYENDSESSION:
        return onQueryEndSession();
    case WM_ENDSESSION:
        onEndSession(wParam);
        return 0;
    case WM_KEYDOWN:
        onKeyDown(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        onMouseWheel(wParam);
        return 0;
    case WM_COMMAND:
        onCommand(wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
