// The player's entry point: one quiz, one main window, one message loop.
#include <windows.h>

#include <cstdlib>

#include "content/package_loader.h"
#include "content/quiz.h"

namespace {

Quiz* g_quiz = nullptr;

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = "WindowsApp";

    g_quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    if (g_quiz == nullptr) {
        return 0;
    }
    initQuiz(g_quiz);
    loadQuiz(g_quiz, instance);

    if (!RegisterClassExA(&windowClass)) {
        return 0;
    }
    HWND mainWindow = CreateWindowExA(0, "WindowsApp", g_quiz->title, WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, 870, 650, nullptr, nullptr,
                                      instance, nullptr);
    ShowWindow(mainWindow, showCommand);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    freeQuestions(g_quiz);
    free(g_quiz);
    return static_cast<int>(message.wParam);
}
