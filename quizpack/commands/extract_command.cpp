// quizpack extract QUIZ.exe DIR [--force] [--csv]: a description and media files that
// rebuild the same quiz.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/executable/extractor.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/common/messages.h"

namespace {
void printWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) {
        fputs(tr("quizpack extract: warning: {message}\n", {{"message", w}}).c_str(), stderr);
    }
}
// Every file extract writes, checked against the executable it reads: "extract quiz.exe ."
// --force must not write a quiz.toml that is a link to quiz.exe.
void refuseExtractionOverInput(const QuizReading& reading, const std::filesystem::path& exe,
                               const std::filesystem::path& dir, bool force, bool csv) {
    const std::vector<CommandInput> inputs = {{exe, tr("the quiz executable being extracted")}};
    const ReadOnlyOutput readOnly = force ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse;
    refuseOutputOverInputs(dir / "quiz.toml", inputs, readOnly);
    if (csv) {
        refuseOutputOverInputs(dir / "questions.csv", inputs, readOnly);
    }
    for (const MediaListing& m : reading.media) {
        refuseOutputOverInputs(dir / std::filesystem::u8path(mediaFileName(m)), inputs, readOnly);
    }
}

} // namespace

int runExtract(const CommandArguments& args) {
    if (args.positional.size() != 2) {
        throw usageMistake(tr("give a quiz executable and a folder"));
    }
    namespace fs = std::filesystem;
    fs::path exe = pathFromArgument(args.positional[0]);
    fs::path dir = pathFromArgument(args.positional[1]);
    QuizReading reading = readQuizExecutable(readWholeFile(exe), displayPath(exe));
    const bool force = args.has("--force");
    const bool csv = args.has("--csv");
    refuseExtractionOverInput(reading, exe, dir, force, csv);
    ExtractResult result = extractQuiz(reading, dir, force ? Overwrite::Allow : Overwrite::Refuse,
                                       csv ? QuestionFormat::Csv : QuestionFormat::Tables);
    printWarnings(reading.warnings);
    printWarnings(result.warnings);
    // TRANSLATORS: "quiz.exe: 3 questions, 2 media files written to out/quiz.toml".
    fputs(tr("{file}: {questions}, {media} written to {description}\n",
             {{"file", displayPath(exe)},
              {"questions", trn("{n} question", "{n} questions",
                                static_cast<size_t>(reading.quiz->questionCount))},
              {"media", trn("{n} media file", "{n} media files", reading.media.size())},
              {"description", displayPath(dir / "quiz.toml")}})
              .c_str(),
          stdout);

    return kExitOk;
}
