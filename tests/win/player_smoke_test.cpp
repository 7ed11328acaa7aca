// Starts the real quizplayer.exe with its built-in quiz and closes it as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string playerPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    // Test programs live in <build>/tests, the player in <build>.
    std::string dir = self.substr(0, self.find_last_of("\\/"));
    return dir.substr(0, dir.find_last_of("\\/")) + "\\quizplayer.exe";
}

struct FindResult {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK findMainWindow(HWND window, LPARAM param) {
    auto* result = reinterpret_cast<FindResult*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (pid == result->processId && std::string(className) == "WindowsApp") {
        result->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForMainWindow(DWORD processId) {
    FindResult result = {processId, nullptr};
    for (int i = 0; i < 200 && result.window == nullptr; ++i) {
        EnumWindows(findMainWindow, reinterpret_cast<LPARAM>(&result));
        if (result.window == nullptr) {
            Sleep(50);
        }
    }
    return result.window;
}

TEST(PlayerSmoke, OpensTitledWindowAndExitsWithZeroOnClose) {
    char workDir[MAX_PATH];
    GetTempPathA(MAX_PATH, workDir);

    std::string command = "\"" + playerPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, workDir,
                               &startup, &process))
        << "cannot start " << command;

    HWND mainWindow = waitForMainWindow(process.dwProcessId);
    ASSERT_NE(mainWindow, nullptr) << "no \"WindowsApp\" window appeared";

    char title[260] = {};
    GetWindowTextA(mainWindow, title, sizeof title);
    EXPECT_STREQ(title, "Culture g\xE9n\xE9rale");

    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0)
        << "the player did not end after WM_CLOSE";
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
