// quizpack's command shell: one table of commands, and the one place that parses their
// arguments, prints their help and usage, and reports the QuizpackError they throw.
//
// A command is one row of kCommands (command_table.cpp) and its run function.
#pragma once

#include <vector>

#include "quizpack/commands/command_line.h"

// How a command takes its words, shows its help and answers a usage mistake.
enum class ArgumentStyle {
    // The shell sorts the words by the command's options; --help or -h anywhere asks for
    // the help, which opens with "usage: quizpack ..." lines made from the usage; a
    // mistake prints the message and one "usage: quizpack USAGE" line.
    Options,
    // The words are texts that may begin with '-' (answers), passed on as they are in
    // `positional`; only a first word --help or -h asks for the help, which is `help`
    // alone; a mistake prints the message, a blank line and the whole help.
    Texts,
};

struct Command {
    const char* name; // the word after "quizpack"
    // The command line, as in "quizpack USAGE"; alternatives are separated by " | ".
    const char* usage;
    const char* summary; // the line under the usage in 'quizpack --help'
    const char* help;    // 'quizpack NAME --help' after its usage lines
    std::vector<OptionSpec> options;
    ArgumentStyle style;
    // Runs the command. Returns the exit code of an outcome it has reported itself
    // (kExitOk, or kExitBadInput after listing diagnostics); throws QuizpackError for
    // anything else, which the shell prints after "quizpack NAME: ".
    int (*run)(const CommandArguments& arguments);
};

extern const std::vector<Command> kCommands;

// quizpack's command line (argv[0] the program): 'quizpack --help', or one command run
// with the words after its name. Prints what it has to say and returns the exit code; a
// QuizpackError thrown by the command ends here, printed to stderr.
int runQuizpack(int argc, char** argv);
