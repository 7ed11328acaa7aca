// quizpack check QUIZ.toml: every problem of a description and its media, at once.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/description/description.h"
#include "quizpack/common/messages.h"

int runCheck(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake(tr("give one description file"));
    }
    CheckResult result = checkDescriptionFile(pathFromArgument(args.positional[0]));
    printDiagnostics(result.diagnostics);
    const Description& d = result.description;
    if (!result.ok()) {
        fputs(tr("{file}: {summary}\n",
                 {{"file", d.file}, {"summary", summarizeDiagnostics(result.diagnostics)}})
                  .c_str(),
              stderr);

        return kExitBadInput;
    }
    // TRANSLATORS: "quiz.toml: picture quiz, 3 questions, 2 media files: no problems"; the
    // kind is the value of kind = "...", as the author writes it.
    puts(tr("{file}: {kind} quiz, {questions}, {media}: {summary}",
            {{"file", d.file},
             {"kind", quizKindName(d.quizType)},
             {"questions", trn("{n} question", "{n} questions", d.questions.size())},
             {"media", trn("{n} media file", "{n} media files", d.media.size())},
             {"summary", summarizeDiagnostics(result.diagnostics)}})
             .c_str());

    return kExitOk;
}
