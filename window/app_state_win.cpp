#include "window/app_state_win.h"

#include <shellapi.h>

void openInBrowser(const char* address) {
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

AppState g_app;
