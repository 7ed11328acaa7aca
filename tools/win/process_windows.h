// Finding another process's windows, for the programs that drive a quiz from outside (the
// Windows tests and the start-up probe).
#pragma once

#include <windows.h>

#include <cstring>

namespace process_windows {

struct WindowSearch {
    DWORD process;
    const char* className;
    bool visibleOnly;
    HWND found;
};

inline BOOL CALLBACK matchTopLevelWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == search->process && strcmp(className, search->className) == 0 &&
        (!search->visibleOnly || IsWindowVisible(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first top-level window of process `process` with class `className` (a visible one
// when asked), or null. The player's main window is "WindowsApp"; its message boxes are
// "#32770".
inline HWND topLevelWindowOf(DWORD process, const char* className, bool visibleOnly = false) {
    WindowSearch search = {process, className, visibleOnly, nullptr};
    EnumWindows(matchTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace process_windows
