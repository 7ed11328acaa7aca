// quizpack pack QUIZ.toml --package P --codes C: the two packed resources as files, for
// builds that compile their resources with windres.
#include <cstdio>

#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/description.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/packing.h"

namespace {
const char kUsage[] = "pack QUIZ.toml --package P --codes C";
const char kHelp[] =
    "usage: quizpack pack QUIZ.toml --package P --codes C\n"
    "Checks the description, lays out the quiz package and the code table and packs them\n"
    "into the files P (\"PATCH\" 104) and C (\"PATCH\" 105). Both files are replaced only\n"
    "when everything succeeded. Media files are checked but not written.\n";
} // namespace

int runPack(int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {{"--package", true}, {"--codes", true}}, &args, &error)) {
        return usageError("pack", error, kUsage);
    }
    if (args.help) {
        fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 1 || !args.has("--package") || !args.has("--codes")) {
        return usageError("pack", "give one description, --package and --codes", kUsage);
    }
    CheckResult result = checkDescriptionFile(pathFromArgument(args.positional[0]));
    printDiagnostics(result.diagnostics);
    if (!result.ok()) {
        fprintf(stderr, "%s: %s; nothing written\n", result.description.file.c_str(),
                summarizeDiagnostics(result.diagnostics).c_str());
        return kExitBadInput;
    }
    namespace fs = std::filesystem;
    fs::path packagePath = pathFromArgument(args.value("--package"));
    fs::path codesPath = pathFromArgument(args.value("--codes"));
    try {
        PackedQuiz packed = packQuiz(*makeQuiz(result.description));
        // Both temporary files first, so that a failure leaves neither target changed.
        fs::path packageTemp = writeTemporaryBeside(packagePath, packed.package);
        fs::path codesTemp;
        try {
            codesTemp = writeTemporaryBeside(codesPath, packed.codeTable);
        } catch (...) {
            discardFile(packageTemp);
            throw;
        }
        try {
            commitFile(packageTemp, packagePath);
        } catch (...) {
            discardFile(codesTemp);
            throw;
        }
        commitFile(codesTemp, codesPath);
        printf("%s: %zu bytes (%zu unpacked); %s: %zu bytes (%zu unpacked)\n",
               displayPath(packagePath).c_str(), packed.package.size(), packed.packageLength,
               displayPath(codesPath).c_str(), packed.codeTable.size(), packed.codeTableLength);
    } catch (const PackError& e) {
        fprintf(stderr, "quizpack pack: packing failed: %s\n", e.what());
        return kExitCodecFailure;
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack pack: %s\n", e.what());
        return kExitBadInput;
    }
    return kExitOk;
}
