// quizpack build QUIZ.toml [-o OUT.exe] [--player EXE] [--keep-pictures] [--force]
#include <cstdio>

#include "quizpack/executable/builder.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"

namespace {

BuildOptions buildOptions(const CommandArguments& args) {
    BuildOptions options;
    options.description = pathFromArgument(args.positional[0]);
    if (args.has("-o")) {
        options.output = pathFromArgument(args.value("-o"));
    }
    if (args.has("--player")) {
        options.player = pathFromArgument(args.value("--player"));
    }
    options.downscaling = args.has("--keep-pictures") ? Downscaling::Off : Downscaling::ToPlayerBox;
    options.readOnlyOutput = args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse;
    return options;
}

void printProgress(size_t index, size_t total, const MediaFile& media, const std::string& done) {
    printf("[%2zu/%zu] IMG %-5u %s: %s\n", index, total, media.resourceId, media.given.c_str(),
           done.c_str());
    fflush(stdout);
}

void printReport(const BuildReport& report) {
    printf("Built %s in %.1f s from %s\n", displayPath(report.output).c_str(), report.seconds,
           report.player.c_str());
    printf("  questions:  %zu\n", report.questions);
    printf("  media:      %zu files, %s\n", report.mediaCount,
           formatSize(report.mediaBytes).c_str());
    if (report.extrasBytes == 0) {
        printf("  quiz:       %zu + %zu bytes packed (quiz package, codes)\n", report.packageBytes,
               report.codeTableBytes);
    } else {
        printf("  quiz:       %zu + %zu + %zu bytes packed (quiz package, codes, accepted forms "
               "and grading)\n",
               report.packageBytes, report.codeTableBytes, report.extrasBytes);
    }
    printf("  executable: %s\n", formatSize(report.executableBytes).c_str());
}

} // namespace

int runBuild(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake("give one description (QUIZ.toml)");
    }
    const BuildOptions options = buildOptions(args);
    const BuildReport report = buildQuiz(options, printProgress, printDiagnostics);
    if (!reportQuizReading(options.description, {}, report.diagnostics, report.built)) {
        return kExitBadInput;
    }
    printReport(report);
    return kExitOk;
}
