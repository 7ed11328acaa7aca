#include "tests/support/windows_win.h"

std::ostream& operator<<(std::ostream& out, const PixelRect& r) {
    return out << "(" << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}

namespace test_support {

std::string textOf(HWND window) {
    char text[1024] = "";
    DWORD_PTR copied = 0;
    if (window != nullptr) {
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, &copied);
    }
    return text;
}

std::string itemText(HWND parent, int id) {
    return textOf(GetDlgItem(parent, id));
}

std::string classOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

PixelRect rectInParent(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::vector<HWND> childrenWithId(HWND parent, int id) {
    struct Search {
        HWND parent;
        int id;
        std::vector<HWND> found;
    } search = {parent, id, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetParent(child) == s->parent && GetDlgCtrlID(child) == s->id) {
                s->found.push_back(child);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND childWithText(HWND parent, int id, const std::string& text) {
    for (HWND child : childrenWithId(parent, id)) {
        if (textOf(child) == text) {
            return child;
        }
    }
    return nullptr;
}

std::vector<HWND> childrenOfClass(HWND parent, const char* className) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) == className) {
            found.push_back(child);
        }
    }
    return found;
}

int childCount(HWND parent) {
    int n = 0;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++n;
    }
    return n;
}

HFONT fontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}

HFONT guiFont() {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

DWORD styleOf(HWND control) {
    return static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
}

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info = {};
    GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

void click(HWND window, int id) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(window, id)), SMTO_ABORTIFHUNG, 10000,
                        &result);
}

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace test_support
