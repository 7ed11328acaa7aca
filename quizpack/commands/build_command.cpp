// quizpack build QUIZ.toml [-o OUT.exe] [--player EXE] [--keep-pictures] [--force]
#include <cstdio>

#include "quizpack/executable/builder.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/messages.h"

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
    printf("[%2zu/%zu] IMG %-5u %s%s%s\n", index, total, media.resourceId, media.given.c_str(),
           tr(": "), done.c_str());
    fflush(stdout);
}

void printReport(const BuildReport& report) {
    const std::string seconds = decimalNumber(report.seconds, 1);
    const MessageArguments arguments = {{"output", displayPath(report.output)},
                                        {"seconds", seconds},
                                        {"player", report.player},
                                        {"questions", report.questions},
                                        {"size", formatSize(report.mediaBytes)},
                                        {"package", report.packageBytes},
                                        {"codes", report.codeTableBytes},
                                        {"extras", report.extrasBytes},
                                        {"executable", formatSize(report.executableBytes)}};
    puts(tr("Built {output} in {seconds} s from {player}", arguments).c_str());
    puts(tr("  questions:  {questions}", arguments).c_str());
    puts(trn("  media:      {n} file, {size}", "  media:      {n} files, {size}", report.mediaCount,
             arguments)
             .c_str());
    if (report.extrasBytes == 0) {
        puts(tr("  quiz:       {package} + {codes} bytes packed (quiz package, codes)", arguments)
                 .c_str());
    } else {
        puts(tr("  quiz:       {package} + {codes} + {extras} bytes packed (quiz package, codes, "
                "accepted forms and grading)",
                arguments)
                 .c_str());
    }
    puts(tr("  executable: {executable}", arguments).c_str());
}

} // namespace

int runBuild(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake(tr("give one description (QUIZ.toml)"));
    }
    const BuildOptions options = buildOptions(args);
    const BuildReport report = buildQuiz(options, printProgress, printDiagnostics);
    if (!reportQuizReading(options.description, {}, report.diagnostics, report.built)) {
        return kExitBadInput;
    }
    printReport(report);
    return kExitOk;
}
