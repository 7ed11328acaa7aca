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
    printf("%s: %s quiz, %s, %s: %s\n", d.file.c_str(), quizKindName(d.quizType),
           countOf(d.questions.size(), "question").c_str(),
           countOf(d.media.size(), "media file").c_str(),
           summarizeDiagnostics(result.diagnostics).c_str());
    return kExitOk;
}
