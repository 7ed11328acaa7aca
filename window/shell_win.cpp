#include "window/shell_win.h"

#include <objbase.h>

#include <cstdlib>

#include "content/package_loader.h"
#include "media/audio_win.h"
#include "media/video_win.h"
#include "resources/resource.h"
#include "window/app_state_win.h"
#include "window/board_layout.h"
#include "window/board_win.h"
#include "window/main_window_win.h"

namespace {

const int kMainWidth = 870;
const int kMainHeight = 650;
const int kExitNoWindow = 1;

void deleteVideoFiles() {
    char name[32];
    for (int q = 1; q <= kMaxQuestions; ++q) {
        wsprintfA(name, "quizz%d.avi", q);
        DeleteFileA(name);
    }
}

void freeQuiz() {
    if (g_app.quiz != nullptr) {
        freeQuestions(g_app.quiz);
        free(g_app.quiz);
        g_app.quiz = nullptr;
    }
}

// The loop hands every message straight to its window: the answer fields do their own
// keyboard navigation, so the dialog manager's is not wanted.
int runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

bool registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

HWND createMainWindow(HINSTANCE instance, const Quiz* quiz) {
    g_app.mainWindow = CreateWindowExA(0, kMainWindowClass, quiz->title, WS_OVERLAPPEDWINDOW,
                                       CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight,
                                       nullptr, nullptr, instance, nullptr);
    return g_app.mainWindow;
}

HWND createQuestionBoard(HWND mainWindow) {
    g_app.board = CreateDialogParamA(g_app.instance, MAKEINTRESOURCEA(IDD_BOARD), mainWindow,
                                     boardDialogProc, 0);
    // The board must not wait for the first resize of the main window to find its place.
    layOutMainWindow(mainWindow);
    return g_app.board;
}

void centreWindow(HWND window, HWND reference) {
    RECT ref;
    RECT win;
    GetWindowRect(reference, &ref);
    GetWindowRect(window, &win);
    PixelPoint at = centredOrigin(ref.left, ref.top, ref.right, ref.bottom, win.left, win.top,
                                  win.right, win.bottom);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

bool startVideoHosting(HMODULE* atl) {
    *atl = LoadLibraryA("atl.dll");
    if (*atl == nullptr) {
        return false;
    }
    FARPROC entry = GetProcAddress(*atl, "AtlAxAttachControl");
    if (entry == nullptr) {
        FreeLibrary(*atl);
        *atl = nullptr;
        return false;
    }
    g_app.media.atlAxAttachControl =
        reinterpret_cast<AtlAxAttachControlFn>(reinterpret_cast<void*>(entry));
    CoInitialize(nullptr);
    return true;
}

void stopVideoHosting(HWND mainWindow, HMODULE atl) {
    deleteVideoFiles();
    DestroyWindow(mainWindow);
    g_app.mainWindow = nullptr;
    g_app.board = nullptr;
    // The hosts let go of their players with the windows; the program's own references go
    // too, so that no player outlives COM. A film still playing kept its file open through
    // the first deletion; now that it is closed, the files are deleted once more.
    releaseVideoPlayers(g_app.media);
    deleteVideoFiles();
    CoUninitialize();
    g_app.media.atlAxAttachControl = nullptr;
    FreeLibrary(atl);
}

int runPlayer(HINSTANCE instance, int showCommand) {
    g_app.instance = instance;
    g_app.quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    if (g_app.quiz == nullptr) {
        return kExitNoWindow;
    }
    initQuiz(g_app.quiz);
    loadQuiz(g_app.quiz, instance);
    if (!registerMainWindowClass(instance)) {
        freeQuiz();
        return 0;
    }
    bool video = g_app.quiz->quizType == QUIZ_VIDEO;
    HMODULE atl = nullptr;
    if (video && !startVideoHosting(&atl)) {
        freeQuiz();
        return kExitNoWindow;
    }
    HWND mainWindow = createMainWindow(instance, g_app.quiz);
    if (mainWindow == nullptr) {
        // Nothing could ever close a loop without a window: the process would linger
        // unseen.
        if (video) {
            CoUninitialize();
            FreeLibrary(atl);
        }
        freeQuiz();
        return kExitNoWindow;
    }
    centreWindow(mainWindow, GetDesktopWindow());
    HWND board = createQuestionBoard(mainWindow);
    ShowWindow(mainWindow, showCommand);
    ShowWindow(board, showCommand);
    int exitCode = runMessageLoop();
    // A clip still playing at close keeps "quizz.mp3" open, and a file reader that does not
    // share deletion makes the close message's DeleteFileA fail: the clip is closed here and
    // its file deleted once more, so that none is left behind.
    stopAudio(g_app.media);
    if (video) {
        stopVideoHosting(mainWindow, atl);
    }
    freeQuiz();
    return exitCode;
}
