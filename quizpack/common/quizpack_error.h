// quizpack's exit codes, and the one error type that ends a command: its message and the
// exit code it stands for. The command shell catches it, prints "quizpack COMMAND: " and
// the message to stderr, and exits with the code.
#pragma once

#include <stdexcept>
#include <string>

constexpr int kExitOk = 0;
constexpr int kExitCodecFailure = 1;
constexpr int kExitBadInput = 2;

// What the shell adds to the message.
enum class Usage {
    Known,   // the command line was understood: the message says it all
    Mistaken // the command line is wrong: the shell shows how to call the command
};

class QuizpackError : public std::runtime_error {
  public:
    QuizpackError(int exitCode, const std::string& message, Usage usage = Usage::Known)
        : std::runtime_error(message), exitCode(exitCode), usage(usage) {}
    int exitCode;
    Usage usage;
};

// A command line the command cannot run ("give one description file"): exit code 2, the
// message followed by the command's usage.
inline QuizpackError usageMistake(const std::string& message) {
    return QuizpackError(kExitBadInput, message, Usage::Mistaken);
}
