#include "quizpack/common/external_program.h"

#if defined(_WIN32)
#include <process.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#if defined(_WIN32)

namespace {

// _spawnvp joins the arguments with blanks: each one is quoted the way the C runtime
// splits a command line again.
std::string quoted(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

} // namespace

int runExternalProgram(const std::vector<std::string>& arguments) {
    std::vector<std::string> quotedArguments;
    for (const std::string& a : arguments) {
        quotedArguments.push_back(quoted(a));
    }
    std::vector<const char*> argv;
    for (const std::string& a : quotedArguments) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);
    intptr_t status = _spawnvp(_P_WAIT, arguments[0].c_str(), argv.data());
    return status < 0 ? -1 : static_cast<int>(status);
}

#else

int runExternalProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return -1;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFEXITED(status)) {
        // The shell's convention for a program it cannot run; posix_spawnp reports those
        // itself, but a child that fails to exec after the fork exits 127.
        return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
    }
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

#endif
