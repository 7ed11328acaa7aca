// quizpack export QUIZ.toml|QUIZ.exe -o OUT.html [--keep-pictures]
#include <cstdio>

#include "tools/quizpack/builder.h"
#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/packing.h"
#include "tools/quizpack/quiz_reader.h"
#include "tools/quizpack/web_export.h"

namespace {
const char kUsage[] = "export QUIZ.toml|QUIZ.exe -o OUT.html [--keep-pictures]";
const char kHelp[] =
    "usage: quizpack export QUIZ.toml|QUIZ.exe -o OUT.html [--keep-pictures]\n"
    "Writes the quiz as one web page that plays it in any current browser, offline: its\n"
    "texts, codes, pictures and clips, the player's own grader compiled to WebAssembly,\n"
    "the page's script and styles, all in OUT.html. It asks for nothing from any network\n"
    "and works opened straight from disk or served by any web host. The player's answers\n"
    "are kept in the browser, per quiz.\n"
    "\n"
    "QUIZ.toml is checked as build checks it; a quiz executable (QUIZ.exe) is read back as\n"
    "inspect reads it. Pictures are stored as build stores them (--keep-pictures as for\n"
    "build). AVI films, which browsers do not play, are converted to WebM with ffmpeg,\n"
    "which must then be on the PATH (Debian: apt-get install ffmpeg).\n"
    "OUT.html is written under a temporary name and renamed at the end, so it is never\n"
    "left half-written.\n";
} // namespace

int runExport(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {{"-o", true}, {"--keep-pictures", false}}, &args, &error)) {
        return usageError("export", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 1 || !args.has("-o")) {
        return usageError("export", "give one description or quiz executable and -o OUT.html",
                          kUsage);
    }
    ExportOptions options;
    options.input = pathFromArgument(args.positional[0]);
    options.output = pathFromArgument(args.value("-o"));
    options.downscaling = args.has("--keep-pictures") ? Downscaling::Off : Downscaling::ToPlayerBox;
    auto progress = [](size_t index, size_t total, uint32_t resourceId, const std::string& name,
                       const std::string& done) {
        printf("[%2zu/%zu] IMG %-5u %s: %s\n", index, total, resourceId, name.c_str(),
               done.c_str());
        fflush(stdout);
    };
    ExportReport report;
    try {
        report = exportWebPage(options, progress, printDiagnostics);
    } catch (const QuizReadError& e) {
        fprintf(stderr, "quizpack export: %s\n", e.what());
        return e.codecFailure ? kExitCodecFailure : kExitBadInput;
    } catch (const PackError& e) {
        fprintf(stderr, "quizpack export: packing failed: %s\n", e.what());
        return kExitCodecFailure;
    } catch (const std::runtime_error& e) { // ExportError, BuildError, FileError
        fprintf(stderr, "quizpack export: %s\n", e.what());
        return kExitBadInput;
    }
    for (const std::string& w : report.warnings) {
        fprintf(stderr, "%s: warning: %s\n", displayPath(options.input).c_str(), w.c_str());
    }
    if (!report.exported) {
        fprintf(stderr, "%s: %s; nothing written\n", displayPath(options.input).c_str(),
                summarizeDiagnostics(report.diagnostics).c_str());
        return kExitBadInput;
    }
    printf("Exported %s in %.1f s\n", displayPath(options.output).c_str(), report.seconds);
    printf("  questions:  %zu\n", report.questions);
    printf("  media:      %zu files, %s\n", report.mediaCount,
           formatSize(report.mediaBytes).c_str());
    printf("  page:       %s (answers kept as %s)\n", formatSize(report.pageBytes).c_str(),
           report.storageKey.c_str());
    return kExitOk;
}
