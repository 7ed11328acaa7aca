#include "quizpack/commands/command_shell.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "quizpack/commands/commands.h"
#include "quizpack/commands/console.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/quizpack_error.h"

namespace {

bool asksForHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

void printOverview(FILE* out) {
    fprintf(out, "quizpack %s: make and read Quizz quiz executables.\n\nUsage:\n", QUIZZ_VERSION);
    for (const Command& c : kCommands) {
        fprintf(out, "  quizpack %s\n      %s\n", c.usage, c.summary);
    }
    fprintf(out, "\nExit codes: 0 success, 1 packing or unpacking failed, 2 bad input.\n"
                 "Run 'quizpack COMMAND --help' for the details of one command; every key of a\n"
                 "quiz description is explained in docs/description.md.\n");
}

// A double-click on quizpack.exe opens a console that closes when quizpack exits: the help
// stays readable until a key is pressed.
int showHelpUntilKeyPressed() {
    printOverview(stdout);
    printf("\nquizpack is a command-line program: open a command prompt in your quiz's folder\n"
           "and type, for example, quizpack new picture MyQuiz\n\n"
           "Press any key to close this window.\n");
    fflush(stdout);
    waitForKey();
    return kExitOk;
}

// "usage: quizpack A\n       quizpack B\n" for the usage "A | B".
void printUsageLines(const Command& command, FILE* out) {
    const std::string usage = command.usage;
    const char* lead = "usage: quizpack ";
    for (size_t start = 0;;) {
        const size_t bar = usage.find(" | ", start);
        fprintf(out, "%s%s\n", lead, usage.substr(start, bar - start).c_str());
        if (bar == std::string::npos) {
            return;
        }
        start = bar + 3;
        lead = "       quizpack ";
    }
}

void printHelp(const Command& command, FILE* out) {
    if (command.style == ArgumentStyle::Options) {
        printUsageLines(command, out);
    }
    fputs(command.help, out);
}

void report(const Command& command, const QuizpackError& error) {
    fprintf(stderr, "quizpack %s: %s\n", command.name, error.what());
    if (error.usage != Usage::Mistaken) {
        return;
    }
    if (command.style == ArgumentStyle::Texts) {
        fputc('\n', stderr);
        printHelp(command, stderr);
    } else {
        fprintf(stderr, "usage: quizpack %s\n", command.usage);
    }
}

int runCommand(const Command& command, const std::vector<std::string>& words) {
    CommandArguments arguments;
    if (command.style == ArgumentStyle::Texts) {
        arguments.positional = words;
        arguments.help = !words.empty() && asksForHelp(words[0]);
    } else {
        arguments = parseOptions(words, command.options);
    }
    if (arguments.help) {
        printHelp(command, stdout);
        return kExitOk;
    }
    return command.run(arguments);
}

const Command* findCommand(const char* name) {
    for (const Command& c : kCommands) {
        if (strcmp(name, c.name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace

int runQuizpack(int argc, char** argv) {
    if (waitsBeforeClosing(argc, consoleProcessCount())) {
        // Double-clicked: the studio, unless it cannot start, and then the help.
        try {
            int status = runStudioFromDesktop();
            if (status >= 0) {
                return status;
            }
        } catch (const QuizpackError& error) {
            fprintf(stderr, "quizpack studio: %s\n", error.what());
        }
        return showHelpUntilKeyPressed();
    }
    if (argc >= 2 && strcmp(argv[1], "--version") == 0) {
        printf("quizpack %s\n", QUIZZ_VERSION);
        return kExitOk;
    }
    if (argc < 2 || asksForHelp(argv[1]) || strcmp(argv[1], "help") == 0) {
        printOverview(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitBadInput : kExitOk;
    }
    const Command* command = findCommand(argv[1]);
    if (command == nullptr) {
        fprintf(stderr, "quizpack: unknown command '%s'. Run 'quizpack --help' for the list.\n",
                excerpt(argv[1]).c_str());
        return kExitBadInput;
    }
    try {
        return runCommand(*command, std::vector<std::string>(argv + 2, argv + argc));
    } catch (const QuizpackError& error) {
        report(*command, error);
        return error.exitCode;
    }
}
