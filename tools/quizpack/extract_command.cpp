// quizpack extract QUIZ.exe DIR [--force]: a description and media files that rebuild the
// same quiz.
#include <cstdio>

#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/extractor.h"
#include "tools/quizpack/file_io.h"

namespace {
const char kUsage[] = "extract QUIZ.exe DIR [--force]";
const char kHelp[] =
    "usage: quizpack extract QUIZ.exe DIR [--force]\n"
    "Writes DIR/quiz.toml and the media files (DIR/media/q01.jpg, r01.jpg, q01.mp3, ...)\n"
    "so that 'quizpack build DIR/quiz.toml -o OUT.exe' makes the same \"PATCH\" resources.\n"
    "DIR must be new or empty; --force writes into a folder that holds files, replacing\n"
    "files of the same names.\n";
} // namespace

int runExtract(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {{"--force", false}}, &args, &error)) {
        return usageError("extract", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 2) {
        return usageError("extract", "give a quiz executable and a folder", kUsage);
    }
    namespace fs = std::filesystem;
    fs::path exe = pathFromArgument(args.positional[0]);
    fs::path dir = pathFromArgument(args.positional[1]);
    try {
        QuizReading reading = readQuizExecutable(readWholeFile(exe), displayPath(exe));
        ExtractResult result =
            extractQuiz(reading, dir, args.has("--force") ? Overwrite::Allow : Overwrite::Refuse);
        for (const std::string& w : reading.warnings) {
            fprintf(stderr, "quizpack extract: warning: %s\n", w.c_str());
        }
        for (const std::string& w : result.warnings) {
            fprintf(stderr, "quizpack extract: warning: %s\n", w.c_str());
        }
        printf("%s: %d questions, %zu media files written to %s\n", displayPath(exe).c_str(),
               reading.quiz->questionCount, reading.media.size(),
               displayPath(dir / "quiz.toml").c_str());
    } catch (const ExtractError& e) {
        fprintf(stderr, "quizpack extract: %s\n", e.what());
        return kExitBadInput;
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack extract: %s\n", e.what());
        return kExitBadInput;
    } catch (const QuizReadError& e) {
        fprintf(stderr, "quizpack extract: %s\n", e.what());
        return e.codecFailure ? kExitCodecFailure : kExitBadInput;
    }
    return kExitOk;
}
