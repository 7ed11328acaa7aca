// quizpack key QUIZ.toml|QUIZ.exe [-o KEY.html] [--force]: the answer key to print.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/page/answer_key.h"
#include "quizpack/common/messages.h"

int runKey(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake(tr("give one description or quiz executable"));
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
    // TRANSLATORS: "Wrote the answer key Quiz-key.html: 3 questions, 2 pictures, 14.2 KB".
    fputs(tr("Wrote the answer key {file}: {questions}, {pictures}, {size}\n",
             {{"file", displayPath(report.output)},
              {"questions", trn("{n} question", "{n} questions", report.questions)},
              {"pictures", trn("{n} picture", "{n} pictures", report.pictures)},
              {"size", formatSize(report.pageBytes)}})
              .c_str(),
          stdout);

    return kExitOk;
}
