#include "tests/support/programs.h"

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;
#endif

namespace test_support {

#ifdef _WIN32

std::string ownPath() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

namespace {

// Test programs live in <build>\tests; the player and quizpack.exe in <build>.
std::string buildFolder() {
    std::string self = ownPath();
    std::string tests = self.substr(0, self.find_last_of("\\/"));
    return tests.substr(0, tests.find_last_of("\\/"));
}

// One argument as the C runtime splits a command line: quoted, with the backslashes before
// a quote doubled.
std::string quoted(const std::string& argument) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int runAndWait(const std::vector<std::string>& command, const TempFolder& streams,
               const std::filesystem::path& folder, unsigned milliseconds) {
    std::string line;
    for (const std::string& part : command) {
        line += (line.empty() ? "" : " ") + quoted(part);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritable(streams.file("in"), GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = inheritable(streams.file("out"), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritable(streams.file("err"), GENERIC_WRITE, CREATE_ALWAYS);
    std::string where = folder.string();
    PROCESS_INFORMATION process = {};
    bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  where.empty() ? nullptr : where.c_str(), &startup, &process);
    for (HANDLE h : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        CloseHandle(h);
    }
    if (!started) {
        return -1;
    }
    int code = -1;
    if (WaitForSingleObject(process.hProcess, milliseconds == 0 ? INFINITE : milliseconds) ==
        WAIT_OBJECT_0) {
        DWORD exit = 0;
        GetExitCodeProcess(process.hProcess, &exit);
        code = static_cast<int>(exit);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

std::string playerPath() {
    return buildFolder() + "\\quizplayer.exe";
}

std::string quizpackPath() {
    return buildFolder() + "\\quizpack.exe";
}

#else

std::string ownPath() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

std::string playerPath() {
    const char* fromEnvironment = std::getenv("QUIZZ_PLAYER_EXE");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                  : QUIZZ_SOURCE_DIR
               "/build/win64/quizplayer.exe";
}

std::string quizpackPath() {
    return QUIZPACK_PATH;
}

namespace {

int runAndWait(const std::vector<std::string>& command, const TempFolder& streams,
               const std::filesystem::path& folder, unsigned milliseconds) {
    std::vector<std::string> copies = command;
    std::vector<char*> argv;
    for (std::string& part : copies) {
        argv.push_back(&part[0]);
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, streams.file("in").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, streams.file("out").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, streams.file("err").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!folder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return -1;
    }
    int status = 0;
    if (milliseconds == 0) {
        waitpid(pid, &status, 0);
    } else {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

#endif

std::string sourcePath(const std::string& relative) {
#ifdef _WIN32
    return std::string("Z:") + QUIZZ_SOURCE_DIR + "/" + relative;
#else
    return std::string(QUIZZ_SOURCE_DIR) + "/" + relative;
#endif
}

// The standard streams go through files of a folder of their own, so that a program's
// output can never fill a pipe nobody reads, and the folder it works in shows only what the
// program itself left there.
ProgramRun runProgram(const std::vector<std::string>& command, const std::string& input,
                      const std::filesystem::path& folder, unsigned milliseconds) {
    TempFolder streams("streams");
    writeFile(streams / "in", input);
    writeFile(streams / "out", "");
    writeFile(streams / "err", "");
    ProgramRun run = {runAndWait(command, streams, folder, milliseconds), "", ""};
    run.out = readFile(streams / "out");
    run.err = readFile(streams / "err");
    return run;
}

ProgramRun runQuizpack(const std::vector<std::string>& arguments, const std::string& input,
                       const std::filesystem::path& folder, unsigned milliseconds) {
    std::vector<std::string> command = {quizpackPath()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command, input, folder, milliseconds);
}

} // namespace test_support
