// The programs the tests use (this test program, the player, quizpack) and running a program
// to its end with its output captured, on Linux and under Windows alike.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// This test program's own file.
std::string ownPath();
// The built player: on Windows beside the test programs' folder, on Linux the Windows
// build's, or the one QUIZZ_PLAYER_EXE names.
std::string playerPath();
// The quizpack of the same build as the test program.
std::string quizpackPath();
// A file of the source tree (`relative` with '/' between its parts), as this program opens
// it: under Wine through the Z: drive, which is the Linux root.
std::string sourcePath(const std::string& relative);

struct ProgramRun {
    int exitCode; // -1 when the program did not start, or did not end in the time given
    std::string out;
    std::string err;
};

// Runs `command` (the program, then its arguments, each passed as it is) with `input` as its
// standard input, in `folder` (the current directory when empty), and waits for its end:
// at most `milliseconds` when that is not 0, after which the program is ended.
ProgramRun runProgram(const std::vector<std::string>& command, const std::string& input = "",
                      const std::filesystem::path& folder = {}, unsigned milliseconds = 0);

// runProgram for quizpack with `arguments`.
ProgramRun runQuizpack(const std::vector<std::string>& arguments, const std::string& input = "",
                       const std::filesystem::path& folder = {}, unsigned milliseconds = 0);

} // namespace test_support
