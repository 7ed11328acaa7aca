// Starts a quiz executable, measures the time until its question board is fully built and
// its peak memory, and closes it as a player would. Used under Wine by
// bench/startup_bench.sh (times) and tools/screenshots.sh (--hold).
//
//   startup_probe QUIZ.exe [--runs N] [--workdir DIR] [--hold MS]
//
// Every run starts QUIZ.exe in DIR (default: the current directory) after removing its
// answers file there, so each run starts from the same empty fields. The time runs from
// just before the process is created to the moment the board is built: the quiz's message
// loop has waited for input for the first time, the board is shown and, in a quiz with
// questions, the code box (157) no longer holds the
// header's initial " xxxxxx": the board grades every field while creating it, and the
// first grading rewrites the code box. A quiz without questions grades nothing, so there
// the shown board alone counts. The peak working set is read while the quiz still runs;
// then the main window gets WM_CLOSE and the probe waits for the exit.
//
// Prints one line per run, then "median: T ms start-up, M MB peak working set (N runs)".
// With --hold MS (one run) it prints "ready X Y W H" (the main window's rectangle) as soon
// as the board is built and keeps the quiz open MS milliseconds before closing it.
// Exit code 0 when every run ended normally, 1 otherwise, 2 on bad usage.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tools/win/process_windows.h"

namespace {

constexpr DWORD kStartTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr double kMessageBoxPatienceMs = 3000.0;
constexpr DWORD kPollMs = 5;
const char kInitialCode[] = " xxxxxx";

struct Options {
    std::string quiz;
    std::string workdir = ".";
    int runs = 5;
    int holdMs = -1;
};

struct RunResult {
    bool ok;
    double startupMs;
    double peakMb;
};

HWND mainWindowOf(DWORD processId) {
    return process_windows::topLevelWindowOf(processId, "WindowsApp");
}

// The text of another process's control, without waiting on a busy quiz for long.
std::string controlText(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    char text[64] = "";
    DWORD_PTR ignored = 0;
    if (control != nullptr) {
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 1000, &ignored);
    }
    text[sizeof text - 1] = '\0';
    return text;
}

// The N of the score box's " s / N", or -1 when it cannot be read.
int questionCountShown(HWND mainWindow) {
    std::string score = controlText(mainWindow, ID_SCORE_BOX);
    size_t slash = score.find('/');
    return slash == std::string::npos ? -1 : atoi(score.c_str() + slash + 1);
}

bool boardBuilt(HWND mainWindow) {
    HWND board = FindWindowExA(mainWindow, nullptr, "#32770", nullptr);
    if (board == nullptr || !IsWindowVisible(board)) {
        return false;
    }
    return questionCountShown(mainWindow) == 0 ||
           controlText(mainWindow, ID_CODE_BOX) != kInitialCode;
}

BOOL CALLBACK describeWindow(HWND window, LPARAM param) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(param) || !IsWindowVisible(window)) {
        return TRUE;
    }
    char className[64] = "", caption[128] = "", text[512] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    HWND message = GetDlgItem(window, 0xFFFF); // a message box's text
    if (message != nullptr) {
        GetWindowTextA(message, text, sizeof text);
    }
    fprintf(stderr, "startup_probe:   window \"%s\" (%s)%s%s\n", caption, className,
            text[0] != '\0' ? ": " : "", text);
    return TRUE;
}

// A message box of the quiz (top-level dialog), which waits for a player forever.
bool showsMessageBox(DWORD processId) {
    return process_windows::topLevelWindowOf(processId, "#32770", true) != nullptr;
}

// What the quiz shows instead of a built board, a message box for one.
void describeWindows(DWORD processId) {
    EnumWindows(describeWindow, static_cast<LPARAM>(processId));
}

double millisecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// quiz.exe keeps its answers in quiz.txt, in its working directory.
void removeAnswersFile(const Options& options) {
    std::string name = options.quiz.substr(options.quiz.find_last_of("\\/") + 1);
    if (name.size() >= 3) {
        name.replace(name.size() - 3, 3, "txt");
        DeleteFileA((options.workdir + "\\" + name).c_str());
    }
}

bool closeAndWait(const PROCESS_INFORMATION& process, HWND mainWindow) {
    if (mainWindow != nullptr) {
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
    // Without a main window nothing can close the quiz as a player would.
    DWORD waitMs = mainWindow != nullptr ? kExitTimeoutMs : 0;
    if (WaitForSingleObject(process.hProcess, waitMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "startup_probe: the quiz did not end%s\n",
                mainWindow != nullptr ? " after WM_CLOSE" : ": it has no main window");
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
        return false;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (exitCode != 0) {
        fprintf(stderr, "startup_probe: the quiz ended with exit code %lu\n", exitCode);
    }
    return exitCode == 0;
}

RunResult runOnce(const Options& options) {
    RunResult result = {false, 0.0, 0.0};
    removeAnswersFile(options);
    std::string command = "\"" + options.quiz + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                        options.workdir.c_str(), &startup, &process)) {
        fprintf(stderr, "startup_probe: cannot start %s (error %lu)\n", options.quiz.c_str(),
                GetLastError());
        return result;
    }
    // Waiting for the quiz's first idle moment costs the quiz nothing; polling while it
    // builds its board would compete with it for Wine's server at every window call. The
    // first idle moment comes once the board is built, shown and painted, or earlier when
    // a message box waits for a click, which the checks below tell apart.
    WaitForInputIdle(process.hProcess, kStartTimeoutMs);
    HWND mainWindow = nullptr;
    bool built = false;
    double messageBoxSince = -1.0;
    while (millisecondsSince(start) < kStartTimeoutMs) {
        if (mainWindow == nullptr) {
            mainWindow = mainWindowOf(process.dwProcessId);
        }
        if (mainWindow != nullptr && boardBuilt(mainWindow)) {
            built = true;
            break;
        }
        if (!showsMessageBox(process.dwProcessId)) {
            messageBoxSince = -1.0;
        } else if (messageBoxSince < 0.0) {
            messageBoxSince = millisecondsSince(start);
        } else if (millisecondsSince(start) - messageBoxSince > kMessageBoxPatienceMs) {
            break; // nobody will answer it
        }
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) {
            break; // ended before showing its board
        }
    }
    result.startupMs = millisecondsSince(start);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
        result.peakMb = memory.PeakWorkingSetSize / (1024.0 * 1024.0);
    }
    if (!built) {
        fprintf(stderr, "startup_probe: no built board after %.0f ms\n", result.startupMs);
        describeWindows(process.dwProcessId);
    } else if (options.holdMs >= 0) {
        RECT frame = {};
        GetWindowRect(mainWindow, &frame);
        printf("ready %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top);
        fflush(stdout);
        Sleep(static_cast<DWORD>(options.holdMs));
    }
    bool closed = closeAndWait(process, mainWindow);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.ok = built && closed;
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

bool parseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (strcmp(argv[i], "--runs") == 0 && hasValue) {
            options->runs = atoi(argv[++i]);
        } else if (strcmp(argv[i], "--workdir") == 0 && hasValue) {
            options->workdir = argv[++i];
        } else if (strcmp(argv[i], "--hold") == 0 && hasValue) {
            options->holdMs = atoi(argv[++i]);
            options->runs = 1;
        } else if (argv[i][0] != '-' && options->quiz.empty()) {
            options->quiz = argv[i];
        } else {
            return false;
        }
    }
    return !options->quiz.empty() && options->runs >= 1;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: startup_probe QUIZ.exe [--runs N] [--workdir DIR] [--hold MS]\n");
        return 2;
    }
    std::vector<double> times, peaks;
    bool allOk = true;
    for (int run = 1; run <= options.runs; ++run) {
        RunResult result = runOnce(options);
        allOk = allOk && result.ok;
        printf("run %d: %.1f ms, peak working set %.1f MB%s\n", run, result.startupMs,
               result.peakMb, result.ok ? "" : " (FAILED)");
        fflush(stdout);
        if (result.ok) {
            times.push_back(result.startupMs);
            peaks.push_back(result.peakMb);
        }
    }
    if (!times.empty()) {
        printf("median: %.1f ms start-up, %.1f MB peak working set (%zu runs)\n", median(times),
               median(peaks), times.size());
    }
    return allOk ? 0 : 1;
}
