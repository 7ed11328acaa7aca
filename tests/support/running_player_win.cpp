#include "tests/support/running_player_win.h"

#include "resources/resource.h"
#include "tools/win/process_windows.h"

namespace test_support {

RunningPlayer::RunningPlayer(const std::string& exe, const std::filesystem::path& folder,
                             Wait wait) {
    std::string command = "\"" + exe + "\"";
    std::string where = folder.string();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                              where.c_str(), &startup, &process_) != 0;
    if (!started_) {
        return;
    }
    WaitForInputIdle(process_.hProcess, 20000);
    for (int i = 0; i < 600 && board_ == nullptr; ++i) {
        if (main_ == nullptr) {
            main_ = process_windows::topLevelWindowOf(process_.dwProcessId, "WindowsApp");
        }
        if (main_ != nullptr && wait == UNTIL_MAIN_WINDOW) {
            break;
        }
        HWND board = main_ != nullptr
                         ? FindWindowExA(main_, nullptr, MAKEINTRESOURCEA(32770), nullptr)
                         : nullptr;
        if (board != nullptr && IsWindowVisible(main_) && IsWindowVisible(board)) {
            board_ = board;
        } else if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) {
            break;
        }
    }
}

RunningPlayer::~RunningPlayer() {
    if (!started_) {
        return;
    }
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void RunningPlayer::type(int k, const std::string& text, int next) const {
    HWND field = GetDlgItem(board_, answerFieldId(k));
    PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostMessageA(field, EM_SETSEL, 0, -1);
    for (char c : text) {
        PostMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    HWND other = GetDlgItem(board_, answerFieldId(next));
    PostMessageA(other, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(other, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

std::string RunningPlayer::waitForBoardText(int id, const std::string& expected) const {
    std::string now;
    for (int i = 0; i < 100; ++i) {
        now = boardText(id);
        if (now == expected) {
            break;
        }
        Sleep(30);
    }
    return now;
}

long RunningPlayer::close() {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return exitCode();
}

long RunningPlayer::exitCode() {
    if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}

} // namespace test_support
