// quizpack check QUIZ.toml: every problem of a description and its media, at once.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/description/description.h"

int runCheck(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake("give one description file");
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
