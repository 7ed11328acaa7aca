// quizpack export QUIZ.toml|QUIZ.exe [-o OUT.html] [--keep-pictures] [--force]
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/page/web_export.h"

namespace {

void printProgress(size_t index, size_t total, uint32_t resourceId, const std::string& name,
                   const std::string& done) {
    printf("[%2zu/%zu] IMG %-5u %s: %s\n", index, total, resourceId, name.c_str(), done.c_str());
    fflush(stdout);
}

void printReport(const ExportReport& report) {
    printf("Exported %s in %.1f s\n", displayPath(report.output).c_str(), report.seconds);
    printf("  questions:  %zu\n", report.questions);
    printf("  media:      %zu files, %s\n", report.mediaCount,
           formatSize(report.mediaBytes).c_str());
    printf("  page:       %s (answers kept as %s)\n", formatSize(report.pageBytes).c_str(),
           report.storageKey.c_str());
}

} // namespace

int runExport(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake("give one description or quiz executable");
    }
    ExportOptions options;
    options.input = pathFromArgument(args.positional[0]);
    if (args.has("-o")) {
        options.output = pathFromArgument(args.value("-o"));
    }
    options.downscaling = args.has("--keep-pictures") ? Downscaling::Off : Downscaling::ToPlayerBox;
    options.readOnlyOutput = args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse;
    const ExportReport report = exportWebPage(options, printProgress, printDiagnostics);
    if (!reportQuizReading(options.input, report.warnings, report.diagnostics, report.exported)) {
        return kExitBadInput;
    }
    printReport(report);
    return kExitOk;
}
