// quizpack pack QUIZ.toml --package P --codes C: the two packed resources as files, for
// builds that compile their resources with windres.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/description/description.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/executable/packing.h"

namespace fs = std::filesystem;

namespace {

// Both temporary files first, so that a failure leaves neither target changed.
void writeBoth(const fs::path& packagePath, const std::vector<uint8_t>& package,
               const fs::path& codesPath, const std::vector<uint8_t>& codes) {
    fs::path packageTemp = writeTemporaryBeside(packagePath, package);
    fs::path codesTemp;
    try {
        codesTemp = writeTemporaryBeside(codesPath, codes);
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
}

} // namespace

int runPack(const CommandArguments& args) {
    if (args.positional.size() != 1 || !args.has("--package") || !args.has("--codes")) {
        throw usageMistake("give one description, --package and --codes");
    }
    CheckResult result = checkDescriptionFile(pathFromArgument(args.positional[0]));
    printDiagnostics(result.diagnostics);
    if (!result.ok()) {
        fprintf(stderr, "%s: %s; nothing written\n", result.description.file.c_str(),
                summarizeDiagnostics(result.diagnostics).c_str());
        return kExitBadInput;
    }
    fs::path packagePath = pathFromArgument(args.value("--package"));
    fs::path codesPath = pathFromArgument(args.value("--codes"));
    const fs::path description = pathFromArgument(args.positional[0]);
    const std::vector<CommandInput> inputs = descriptionInputs(description, result.description);
    const ReadOnlyOutput readOnly =
        args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse;
    refuseOutputOverInputs(packagePath, inputs, readOnly);
    refuseOutputOverInputs(codesPath, inputs, readOnly);
    // Neither file need exist yet, so they are compared by their absolute, normalised names.
    std::error_code packageError, codesError;
    if (fs::weakly_canonical(fs::absolute(packagePath), packageError) ==
            fs::weakly_canonical(fs::absolute(codesPath), codesError) &&
        !packageError && !codesError) {
        throw usageMistake("--package and --codes name the same file; give two files");
    }
    PackedQuiz packed = packQuiz(*makeQuiz(result.description));
    writeBoth(packagePath, packed.package, codesPath, packed.codeTable);
    printf("%s: %zu bytes (%zu unpacked); %s: %zu bytes (%zu unpacked)\n",
           displayPath(packagePath).c_str(), packed.package.size(), packed.packageLength,
           displayPath(codesPath).c_str(), packed.codeTable.size(), packed.codeTableLength);
    return kExitOk;
}
