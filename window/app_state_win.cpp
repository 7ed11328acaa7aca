#include "window/app_state_win.h"

#include <shellapi.h>

namespace {

// The link's target; the result is not looked at: without a browser nothing happens.
void shellOpen(const char* address) {
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace

AppState g_app = {nullptr, nullptr, nullptr, nullptr, 0,       0,       nullptr, shellOpen,
                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
