// quizpack key QUIZ.toml|QUIZ.exe [-o KEY.html] [--force]: the answer key to print.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/page/answer_key.h"

int runKey(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake("give one description or quiz executable");
    }
    KeyOptions options;
    options.input = pathFromArgument(args.positional[0]);
    if (args.has("-o")) {
        options.output = pathFromArgument(args.value("-o"));
    }
    options.readOnlyOutput = args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse;
    const KeyReport report = writeAnswerKey(options, printDiagnostics);
    if (!reportQuizReading(options.input, report.warnings, report.diagnostics, report.written)) {
        return kExitBadInput;
    }
    printf("Wrote the answer key %s: %s, %s, %s\n", displayPath(report.output).c_str(),
           countOf(report.questions, "question").c_str(),
           countOf(report.pictures, "picture").c_str(), formatSize(report.pageBytes).c_str());
    return kExitOk;
}
