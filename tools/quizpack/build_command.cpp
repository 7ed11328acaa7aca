// quizpack build QUIZ.toml -o OUT.exe [--player EXE] [--keep-pictures]
#include <cstdio>

#include "tools/quizpack/builder.h"
#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/packing.h"

namespace {
const char kUsage[] = "build QUIZ.toml -o OUT.exe [--player EXE] [--keep-pictures]";
const char kHelp[] =
    "usage: quizpack build QUIZ.toml -o OUT.exe [--player EXE] [--keep-pictures]\n"
    "Checks the description, packs the quiz and writes a quiz executable: a copy of the\n"
    "player program holding this quiz's \"PATCH\" 104 and 105 and its \"IMG\" media, and\n"
    "none of another quiz's. OUT.exe is written under a temporary name and renamed at the\n"
    "end, so it is never left half-written.\n"
    "\n"
    "Pictures larger than the 260x260 box the player shows them in are stored at the size\n"
    "it shows them (JPEG, quality 90); PNG pictures, which the player cannot show, are\n"
    "converted to JPEG. --keep-pictures stores every picture the player can show as it is.\n"
    "\n"
    "The player program: --player EXE; else quizplayer.exe beside quizpack; else the one\n"
    "carried inside a Windows quizpack.exe; else ../win64/quizplayer.exe of a build tree.\n";
} // namespace

int runBuild(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {{"-o", true}, {"--player", true}, {"--keep-pictures", false}},
                        &args, &error)) {
        return usageError("build", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 1 || !args.has("-o")) {
        return usageError("build", "give one description and -o OUT.exe", kUsage);
    }
    namespace fs = std::filesystem;
    BuildOptions options;
    options.description = pathFromArgument(args.positional[0]);
    options.output = pathFromArgument(args.value("-o"));
    if (args.has("--player")) {
        options.player = pathFromArgument(args.value("--player"));
    }
    options.downscaling = args.has("--keep-pictures") ? Downscaling::Off : Downscaling::ToPlayerBox;

    auto progress = [](size_t index, size_t total, const MediaFile& media,
                       const std::string& done) {
        printf("[%2zu/%zu] IMG %-5u %s: %s\n", index, total, media.resourceId, media.given.c_str(),
               done.c_str());
        fflush(stdout);
    };
    BuildReport report;
    try {
        report = buildQuiz(options, progress, printDiagnostics);
    } catch (const BuildError& e) {
        fprintf(stderr, "quizpack build: %s\n", e.what());
        return kExitBadInput;
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack build: %s\n", e.what());
        return kExitBadInput;
    } catch (const PackError& e) {
        fprintf(stderr, "quizpack build: packing failed: %s\n", e.what());
        return kExitCodecFailure;
    }
    if (!report.built) {
        fprintf(stderr, "%s: %s; nothing written\n", displayPath(options.description).c_str(),
                summarizeDiagnostics(report.diagnostics).c_str());
        return kExitBadInput;
    }
    printf("Built %s in %.1f s from %s\n", displayPath(options.output).c_str(), report.seconds,
           report.player.c_str());
    printf("  questions:  %zu\n", report.questions);
    printf("  media:      %zu files, %s\n", report.mediaCount,
           formatSize(report.mediaBytes).c_str());
    printf("  quiz:       %zu + %zu bytes packed (\"PATCH\" 104, 105)\n", report.packageBytes,
           report.codeTableBytes);
    printf("  executable: %s\n", formatSize(report.executableBytes).c_str());
    return kExitOk;
}
