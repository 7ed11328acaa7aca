// Reading windows back, those of this process and another's alike, and letting their
// messages through while a test waits.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "window/board_layout.h"

std::ostream& operator<<(std::ostream& out, const PixelRect& r);

namespace test_support {

// A window's text through WM_GETTEXT, which the system carries across processes.
std::string textOf(HWND window);
std::string itemText(HWND parent, int id);
std::string classOf(HWND window);

// A child's rectangle in its parent's client coordinates.
PixelRect rectInParent(HWND control);

// Direct children of `parent` with identifier `id`, in the order EnumChildWindows gives.
std::vector<HWND> childrenWithId(HWND parent, int id);
// The child with a shared identifier and the given text (number labels, question labels).
HWND childWithText(HWND parent, int id, const std::string& text);
// Direct children of `parent` of window class `className` (the MCI windows, say).
std::vector<HWND> childrenOfClass(HWND parent, const char* className);
int childCount(HWND parent);

HFONT fontOf(HWND control);
HFONT guiFont();
DWORD styleOf(HWND control);
COLORREF brushColour(HBRUSH brush);

// A click on `window`'s button `id`, as the button reports it.
void click(HWND window, int id);

// Lets posted messages (the wheel's scroll requests, the players' own) reach their windows.
void pumpMessages();

// Lets messages through until `done` says so or `milliseconds` pass; what `done` last said.
template <typename Done> bool waitFor(Done done, int milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        pumpMessages();
        if (done()) {
            return true;
        }
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) {
            return false;
        }
        Sleep(20);
    }
}

} // namespace test_support
