#include "quizpack/commands/desktop.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

bool openInBrowser(const std::string& address) {
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::filesystem::path documentsFolder() {
    wchar_t path[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                         path) != S_OK) {
        return {};
    }
    return std::filesystem::path(path);
}
