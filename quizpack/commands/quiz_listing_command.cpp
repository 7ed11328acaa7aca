// quizpack inspect QUIZ.exe | inspect --package P [--codes C] [--extras X]: the quiz as a
// description.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> headerFor(const QuizReading& r, bool executable) {
    std::vector<std::string> lines = {"Quiz read from " + r.source + " by quizpack inspect."};
    lines.push_back("\"PATCH\" 104, the quiz package: " + std::to_string(r.packedPackage.size()) +
                    " bytes packed, " + std::to_string(r.package.size()) + " unpacked.");
    if (r.hasCodeTable) {
        lines.push_back("\"PATCH\" 105, the code table: " + std::to_string(r.packedCodes.size()) +
                        " bytes packed, " + std::to_string(r.codeTable.size()) + " unpacked.");
    }
    if (r.hasExtras) {
        lines.push_back("\"PATCH\" 106, accepted forms, [grading] and link: " +
                        std::to_string(r.packedExtras.size()) + " bytes packed, " +
                        std::to_string(r.extras.size()) + " unpacked.");
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

QuizReading readPackedFiles(const CommandArguments& args) {
    fs::path package = pathFromArgument(args.value("--package"));
    std::vector<uint8_t> codes;
    if (args.has("--codes")) {
        codes = readWholeFile(pathFromArgument(args.value("--codes")));
    }
    std::vector<uint8_t> extras;
    if (args.has("--extras")) {
        extras = readWholeFile(pathFromArgument(args.value("--extras")));
    }
    return readPackedQuiz(readWholeFile(package), args.has("--codes") ? &codes : nullptr,
                          displayPath(package), args.has("--extras") ? &extras : nullptr);
}

QuizReading readExecutable(const std::string& argument) {
    fs::path exe = pathFromArgument(argument);
    return readQuizExecutable(readWholeFile(exe), displayPath(exe));
}

} // namespace

int runInspect(const CommandArguments& args) {
    bool packed = args.has("--package");
    if (packed ? !args.positional.empty()
               : args.positional.size() != 1 || args.has("--codes") || args.has("--extras")) {
        throw usageMistake(tr("give a quiz executable, or --package (and --codes, --extras)"));
    }
    QuizReading reading = packed ? readPackedFiles(args) : readExecutable(args.positional[0]);
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
        fputs(tr("quizpack inspect: warning: {message}\n", {{"message", w}}).c_str(), stderr);
    }
    if (reading.malformed) {
        // Printed all the same: it is what the player would load.
        throw QuizpackError(kExitBadInput, tr("{file} holds no well-formed quiz package",
                                              {{"file", reading.source}}));
    }
    return kExitOk;
}
