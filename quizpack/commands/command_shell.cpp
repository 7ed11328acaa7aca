#include "quizpack/commands/command_shell.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>

#include "quizpack/commands/commands.h"
#include "quizpack/commands/console.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"
#include "quizpack/common/quizpack_error.h"

namespace {

bool asksForHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

void printOverview(FILE* out) {
    fputs(tr("quizpack {version}: make and read Quizz quiz executables.\n\nUsage:\n",
             {{"version", QUIZZ_VERSION}})
              .c_str(),
          out);
    for (const Command& c : kCommands) {
        fprintf(out, "  quizpack %s\n      %s\n", c.usage, tr(c.summary));
    }
    fputs(tr("\nExit codes: 0 success, 1 packing or unpacking failed, 2 bad input.\n"
             "Run 'quizpack COMMAND --help' for the details of one command; every key of a\n"
             "quiz description is explained in docs/description.md.\n"
             "--lang fr or --lang en before the command chooses the language of the messages.\n"),
          out);
}

// A double-click on quizpack.exe opens a console that closes when quizpack exits: the help
// stays readable until a key is pressed.
int showHelpUntilKeyPressed() {
    printOverview(stdout);
    fputs(tr("\nquizpack is a command-line program: open a command prompt in your quiz's folder\n"
             "and type, for example, quizpack new picture MyQuiz\n\n"
             "Press any key to close this window.\n"),
          stdout);
    fflush(stdout);
    waitForKey();
    return kExitOk;
}

// "usage: quizpack A\n       quizpack B\n" for the usage "A | B".
void printUsageLines(const Command& command, FILE* out) {
    const std::string usage = command.usage;
    const std::string first = tr("usage: quizpack ");
    const std::string next = std::string(first.size() - 9, ' ') + "quizpack ";
    const char* lead = first.c_str();
    for (size_t start = 0;;) {
        const size_t bar = usage.find(" | ", start);
        fprintf(out, "%s%s\n", lead, usage.substr(start, bar - start).c_str());
        if (bar == std::string::npos) {
            return;
        }
        start = bar + 3;
        lead = next.c_str();
    }
}

void printHelp(const Command& command, FILE* out) {
    if (command.style == ArgumentStyle::Options) {
        printUsageLines(command, out);
    }
    fputs(tr(command.help), out);
}

void report(const Command& command, const QuizpackError& error) {
    fputs(tr("quizpack {command}: {message}\n",
             {{"command", command.name}, {"message", error.what()}})
              .c_str(),
          stderr);
    if (error.usage != Usage::Mistaken) {
        return;
    }
    if (command.style == ArgumentStyle::Texts) {
        fputc('\n', stderr);
        printHelp(command, stderr);
    } else {
        fprintf(stderr, "%s%s\n", tr("usage: quizpack "), command.usage);
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

// Takes "--lang CODE" and "--lang=CODE" out of `words` (from `from` on, or only there
// when `anywhere` is false) and sets the language they choose.
void takeLanguageOption(std::vector<std::string>* words, size_t from, bool anywhere) {
    for (size_t i = from; i < words->size() && (anywhere || i == from);) {
        const std::string& word = (*words)[i];
        size_t taken = 0;
        std::string code;
        if (word == "--lang") {
            taken = 2;
            code = i + 1 < words->size() ? (*words)[i + 1] : "";
        } else if (word.rfind("--lang=", 0) == 0) {
            taken = 1;
            code = word.substr(7);
        }
        if (taken == 0) {
            ++i;
            continue;
        }
        Language language;
        if (!languageFromCode(code, &language)) {
            throw QuizpackError(kExitBadInput, tr("--lang takes fr or en, not {code}",
                                                  {{"code", quoteInput(code)}}));
        }
        setMessageLanguage(language);
        words->erase(words->begin() + i, words->begin() + std::min(i + taken, words->size()));
    }
}

const Command* findCommand(const char* name) {
    for (const Command& c : kCommands) {
        if (strcmp(name, c.name) == 0) {
            return &c;
        }
    }
    return nullptr;
}

// The command line `words` (words[0] the program) after the language options.
int runWords(std::vector<std::string> words) {
    if (words.size() >= 2 && words[1] == "--version") {
        printf("quizpack %s\n", QUIZZ_VERSION);
        return kExitOk;
    }
    if (words.size() < 2 || asksForHelp(words[1]) || words[1] == "help") {
        printOverview(words.size() < 2 ? stderr : stdout);
        return words.size() < 2 ? kExitBadInput : kExitOk;
    }
    const Command* command = findCommand(words[1].c_str());
    if (command == nullptr) {
        fputs(tr("quizpack: unknown command '{command}'. Run 'quizpack --help' for the list.\n",
                 {{"command", excerpt(words[1])}})
                  .c_str(),
              stderr);
        return kExitBadInput;
    }
    try {
        words.erase(words.begin(), words.begin() + 2);
        if (command->style == ArgumentStyle::Options) {
            takeLanguageOption(&words, 0, true);
        }
        return runCommand(*command, words);
    } catch (const QuizpackError& error) {
        report(*command, error);
        return error.exitCode;
    }
}

} // namespace

int runQuizpack(int argc, char** argv) {
    setMessageLanguage(chosenLanguage());
    prepareConsoleOutput();
    if (waitsBeforeClosing(argc, consoleProcessCount())) {
        // Double-clicked: the studio, unless it cannot start, and then the help.
        try {
            int status = runStudioFromDesktop();
            if (status >= 0) {
                return status;
            }
        } catch (const QuizpackError& error) {
            fputs(tr("quizpack studio: {message}\n", {{"message", error.what()}}).c_str(), stderr);
        }
        return showHelpUntilKeyPressed();
    }
    std::vector<std::string> words(argv, argv + argc);
    try {
        takeLanguageOption(&words, 1, false);
    } catch (const QuizpackError& error) {
        fputs(tr("quizpack: {message}\n", {{"message", error.what()}}).c_str(), stderr);
        return error.exitCode;
    }
    return runWords(words);
}
