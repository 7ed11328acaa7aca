// quizpack export QUIZ.toml|QUIZ.exe [-o OUT.html] [--keep-pictures] [--force]
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/page/web_export.h"
#include "quizpack/common/messages.h"

namespace {

void printProgress(size_t index, size_t total, uint32_t resourceId, const std::string& name,
                   const std::string& done) {
    printf("[%2zu/%zu] IMG %-5u %s%s%s\n", index, total, resourceId, name.c_str(), tr(": "),
           done.c_str());
    fflush(stdout);
}

void printReport(const ExportReport& report) {
    const std::string seconds = decimalNumber(report.seconds, 1);
    const MessageArguments arguments = {
        {"output", displayPath(report.output)}, {"seconds", seconds},
        {"questions", report.questions},        {"size", formatSize(report.mediaBytes)},
        {"page", formatSize(report.pageBytes)}, {"key", report.storageKey}};
    puts(tr("Exported {output} in {seconds} s", arguments).c_str());
    puts(tr("  questions:  {questions}", arguments).c_str());
    puts(trn("  media:      {n} file, {size}", "  media:      {n} files, {size}", report.mediaCount,
             arguments)
             .c_str());
    puts(tr("  page:       {page} (answers kept as {key})", arguments).c_str());
}

} // namespace

int runExport(const CommandArguments& args) {
    if (args.positional.size() != 1) {
        throw usageMistake(tr("give one description or quiz executable"));
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
