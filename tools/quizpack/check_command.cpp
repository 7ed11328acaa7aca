// quizpack check QUIZ.toml: every problem of a description and its media, at once.
#include <cstdio>

#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/description.h"

namespace {
const char kUsage[] = "check QUIZ.toml";
const char kHelp[] =
    "usage: quizpack check QUIZ.toml\n"
    "Reads the description and every media file it names and reports every problem with\n"
    "its file, line and key. Exit code 0 when there is no error (warnings and notes\n"
    "allowed), 2 when there is one.\n";
} // namespace

int runCheck(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {}, &args, &error)) {
        return usageError("check", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 1) {
        return usageError("check", "give one description file", kUsage);
    }
    CheckResult result = checkDescriptionFile(pathFromArgument(args.positional[0]));
    printDiagnostics(result.diagnostics);
    const Description& d = result.description;
    if (!result.ok()) {
        fprintf(stderr, "%s: %s\n", d.file.c_str(),
                summarizeDiagnostics(result.diagnostics).c_str());
        return kExitBadInput;
    }
    printf("%s: %s quiz, %zu question%s, %zu media file%s: %s\n", d.file.c_str(),
           quizKindName(d.quizType), d.questions.size(), d.questions.size() == 1 ? "" : "s",
           d.media.size(), d.media.size() == 1 ? "" : "s",
           summarizeDiagnostics(result.diagnostics).c_str());
    return kExitOk;
}
