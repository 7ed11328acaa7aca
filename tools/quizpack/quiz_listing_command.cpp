// quizpack inspect QUIZ.exe | inspect --package P [--codes C]: the quiz as a description.
#include <cstdio>

#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/quiz_reader.h"

namespace {
const char kUsage[] = "inspect QUIZ.exe | inspect --package P [--codes C]";
const char kHelp[] =
    "usage: quizpack inspect QUIZ.exe\n"
    "       quizpack inspect --package P [--codes C]\n"
    "Prints the quiz as a TOML description (texts in UTF-8), with its \"IMG\" media listed\n"
    "as comments: resource identifier, format, picture size and bytes. Warnings (what the\n"
    "player would complain about, what a rebuild would not reproduce) go to stderr.\n"
    "Exit code 1 when the quiz package does not unpack, 2 when the file is no quiz or its\n"
    "package is malformed (what the player would load of it is printed all the same).\n";

std::vector<std::string> headerFor(const QuizReading& r, bool executable) {
    std::vector<std::string> lines = {"Quiz read from " + r.source + " by quizpack inspect."};
    lines.push_back("\"PATCH\" 104, the quiz package: " + std::to_string(r.packedPackage.size()) +
                    " bytes packed, " + std::to_string(r.package.size()) + " unpacked.");
    if (r.hasCodeTable) {
        lines.push_back("\"PATCH\" 105, the code table: " + std::to_string(r.packedCodes.size()) +
                        " bytes packed, " + std::to_string(r.codeTable.size()) + " unpacked.");
    }
    if (executable) {
        uint64_t bytes = 0;
        for (const MediaListing& m : r.media)
            bytes += m.size;
        lines.push_back(std::to_string(r.media.size()) + " media files (\"IMG\" resources), " +
                        formatSize(bytes) + "; quizpack extract writes them as files.");
    }
    return lines;
}
} // namespace

int runInspect(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {{"--package", true}, {"--codes", true}}, &args, &error)) {
        return usageError("inspect", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    bool packed = args.has("--package");
    if (packed ? !args.positional.empty() : args.positional.size() != 1 || args.has("--codes")) {
        return usageError("inspect", "give a quiz executable, or --package (and --codes)", kUsage);
    }
    namespace fs = std::filesystem;
    try {
        QuizReading reading;
        if (packed) {
            fs::path package = pathFromArgument(args.value("--package"));
            std::vector<uint8_t> codes;
            if (args.has("--codes")) {
                codes = readWholeFile(pathFromArgument(args.value("--codes")));
            }
            reading = readPackedQuiz(readWholeFile(package), args.has("--codes") ? &codes : nullptr,
                                     displayPath(package));
        } else {
            fs::path exe = pathFromArgument(args.positional[0]);
            reading = readQuizExecutable(readWholeFile(exe), displayPath(exe));
        }
        std::vector<std::string> trailer;
        if (!reading.unusedImages.empty()) {
            trailer.push_back("\"IMG\" resources this quiz never shows:");
            for (const std::string& u : reading.unusedImages)
                trailer.push_back("  " + u);
        }
        fputs(writeDescription(*reading.quiz, reading.media, headerFor(reading, !packed), trailer)
                  .c_str(),
              stdout);
        for (const std::string& w : reading.warnings) {
            fprintf(stderr, "quizpack inspect: warning: %s\n", w.c_str());
        }
        if (reading.malformed) {
            // Printed all the same: it is what the player would load.
            fprintf(stderr, "quizpack inspect: %s holds no well-formed quiz package\n",
                    reading.source.c_str());
            return kExitBadInput;
        }
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack inspect: %s\n", e.what());
        return kExitBadInput;
    } catch (const QuizReadError& e) {
        fprintf(stderr, "quizpack inspect: %s\n", e.what());
        return e.codecFailure ? kExitCodecFailure : kExitBadInput;
    }
    return kExitOk;
}
