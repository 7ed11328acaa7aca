// Quiz executables as players meet them: made by writing a quiz into a copy of the real
// quizplayer.exe, started as separate processes in a folder of their own, and driven from
// outside through their windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "content/lzw.h"
#include "content/package.h"
#include "content/quiz.h"
#include "resources/resource.h"
#include "tools/win/process_windows.h"
#include "window_test_support.h"

namespace quiz_process {

using Bytes = std::vector<uint8_t>;

// Test programs live in <build>/tests; the player, quizpack.exe and the built samples in
// <build>.
inline std::string buildFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    std::string tests = self.substr(0, self.find_last_of("\\/"));
    return tests.substr(0, tests.find_last_of("\\/"));
}

inline std::string playerPath() {
    return buildFolder() + "\\quizplayer.exe";
}

inline std::string lastError(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

// "IMG" resource `id` of this test program.
inline Bytes ownImage(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "IMG");
    if (found == nullptr) {
        return {};
    }
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return Bytes(bytes, bytes + SizeofResource(nullptr, found));
}

inline Bytes packed(const Bytes& plain) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    if (lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length) != LZW_OK) {
        return {};
    }
    Bytes bytes(out, out + length);
    lzwFreeBuffer(out);
    return bytes;
}

// Copies the player to `path` and writes `quiz` and the "IMG" resources `images` into it.
// "" on success, else what failed.
inline std::string writeQuizExecutable(const std::string& path, const Quiz& quiz,
                                       const std::vector<std::pair<int, Bytes>>& images) {
    if (!CopyFileA(playerPath().c_str(), path.c_str(), FALSE)) {
        return lastError(("CopyFileA of " + playerPath()).c_str());
    }
    Bytes package = packed(layOutPackage(quiz));
    Bytes codes = packed(layOutCodeTable(quiz));
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (update == nullptr) {
        return lastError("BeginUpdateResourceA");
    }
    bool ok = UpdateResourceA(update, "PATCH", MAKEINTRESOURCEA(IDR_QUIZ_PACKAGE), 0,
                              package.data(), static_cast<DWORD>(package.size())) &&
              UpdateResourceA(update, "PATCH", MAKEINTRESOURCEA(IDR_CODE_TABLE), 0, codes.data(),
                              static_cast<DWORD>(codes.size()));
    for (const auto& image : images) {
        ok = ok && !image.second.empty() &&
             UpdateResourceA(update, "IMG", MAKEINTRESOURCEA(image.first), 0,
                             const_cast<uint8_t*>(image.second.data()),
                             static_cast<DWORD>(image.second.size()));
    }
    if (!ok) {
        std::string problem = lastError("UpdateResourceA");
        EndUpdateResourceA(update, TRUE);
        return problem;
    }
    return EndUpdateResourceA(update, FALSE) ? "" : lastError("EndUpdateResourceA");
}

// A folder of its own under the temporary folder, emptied before and after.
class Folder {
  public:
    explicit Folder(const std::string& name) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "quizz_process_" + name;
        CreateDirectoryA(path_.c_str(), nullptr);
        clear();
    }
    ~Folder() {
        clear();
        RemoveDirectoryA(path_.c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }
    // The names of the files in the folder that match `pattern`.
    std::vector<std::string> files(const char* pattern) const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(file(pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

  private:
    void clear() {
        for (const std::string& name : files("*")) {
            DeleteFileA(file(name).c_str());
        }
    }
    std::string path_;
};

// Files are read and written as the in-process tests do.
using window_test::fileExists;
using window_test::readFile;
using window_test::writeFile;

// Another process's window text: WM_GETTEXT, which the system carries across.
inline std::string textOf(HWND window) {
    char text[512] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &result);
    return text;
}

using process_windows::topLevelWindowOf;

// Runs `command` in `folder` and waits for it; its exit code, or -1 if it did not start or
// end within the time given.
inline long runToEnd(std::string command, const std::string& folder, DWORD milliseconds) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        return -1;
    }
    long code = -1;
    if (WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        GetExitCodeProcess(process.hProcess, &exit);
        code = static_cast<long>(exit);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

// A quiz executable running in `folder` (its working directory), found by its main window.
// The main window is shown, and its board made visible, only once every control is made and
// graded (a video board makes its players first): input sent earlier would reach a half-made
// board, so the constructor waits for both, or for the main window alone when asked to (a
// board held up by a message box, say).
class RunningPlayer {
  public:
    enum Wait { UNTIL_BOARD_SHOWN, UNTIL_MAIN_WINDOW };

    RunningPlayer(const std::string& exe, const std::string& folder,
                  Wait wait = UNTIL_BOARD_SHOWN) {
        std::string command = "\"" + exe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.c_str(), &startup, &process_) != 0;
        if (!started_) {
            return;
        }
        WaitForInputIdle(process_.hProcess, 20000);
        for (int i = 0; i < 600 && board_ == nullptr; ++i) {
            if (main_ == nullptr) {
                main_ = topLevelWindowOf(process_.dwProcessId, "WindowsApp");
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
    ~RunningPlayer() {
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
    RunningPlayer(const RunningPlayer&) = delete;
    RunningPlayer& operator=(const RunningPlayer&) = delete;

    bool started() const { return started_; }
    DWORD processId() const { return process_.dwProcessId; }
    HWND main() const { return main_; }
    HWND board() const { return board_; }
    std::string boardText(int id) const { return textOf(GetDlgItem(board_, id)); }
    std::string mainText(int id) const { return textOf(GetDlgItem(main_, id)); }

    // Clicks into field k, selects what it holds and types over it character by character,
    // then clicks into field `next`: leaving a field grades it.
    void type(int k, const std::string& text, int next) const {
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

    // Waits until control `id` of the board reads `expected` (the player works through its
    // posted messages on its own time); returns what it last read.
    std::string waitForBoardText(int id, const std::string& expected) const {
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

    // A click on the board's button `id`, as the button reports it.
    void click(int id) const {
        HWND button = GetDlgItem(board_, id);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(board_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(button), SMTO_ABORTIFHUNG, 10000, &result);
    }

    // The board's MCI windows.
    std::vector<HWND> mciWindows() const {
        std::vector<HWND> found;
        for (HWND child = GetWindow(board_, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = "";
            GetClassNameA(child, name, sizeof name);
            if (std::string(name) == "MCIWndClass") {
                found.push_back(child);
            }
        }
        return found;
    }

    // Closes the window as the user would; the exit code, or -1 if the player did not end.
    long close() {
        PostMessageA(main_, WM_CLOSE, 0, 0);
        return exitCode();
    }
    long exitCode() {
        if (WaitForSingleObject(process_.hProcess, 20000) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<long>(code);
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    HWND board_ = nullptr;
};

} // namespace quiz_process
