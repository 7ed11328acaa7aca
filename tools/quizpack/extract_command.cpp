// quizpack extract QUIZ.exe DIR [--force] [--csv]: a description and media files that
// rebuild the same quiz.
#include <cstdio>

#include "tools/quizpack/commands.h"
#include "tools/quizpack/extractor.h"
#include "tools/quizpack/file_io.h"

namespace {
void printWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) {
        fprintf(stderr, "quizpack extract: warning: %s\n", w.c_str());
    }
}
} // namespace

int runExtract(const CommandArguments& args) {
    if (args.positional.size() != 2) {
        throw usageMistake("give a quiz executable and a folder");
    }
    namespace fs = std::filesystem;
    fs::path exe = pathFromArgument(args.positional[0]);
    fs::path dir = pathFromArgument(args.positional[1]);
    QuizReading reading = readQuizExecutable(readWholeFile(exe), displayPath(exe));
    ExtractResult result =
        extractQuiz(reading, dir, args.has("--force") ? Overwrite::Allow : Overwrite::Refuse,
                    args.has("--csv") ? QuestionFormat::Csv : QuestionFormat::Tables);
    printWarnings(reading.warnings);
    printWarnings(result.warnings);
    printf("%s: %d questions, %zu media files written to %s\n", displayPath(exe).c_str(),
           reading.quiz->questionCount, reading.media.size(),
           displayPath(dir / "quiz.toml").c_str());
    return kExitOk;
}
