// quizpack pack QUIZ.toml --package P --codes C [--extras X]: the packed resources as files,
// for builds that compile their resources with windres.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/description/description.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/executable/packing.h"

namespace fs = std::filesystem;

namespace {

struct PackedFile {
    fs::path path;
    const std::vector<uint8_t>* bytes;
};

// Every temporary file first, so that a failure leaves no target changed.
void writeAll(const std::vector<PackedFile>& files) {
    std::vector<fs::path> temporaries;
    try {
        for (const PackedFile& f : files) {
            temporaries.push_back(writeTemporaryBeside(f.path, *f.bytes));
        }
        for (size_t i = 0; i < files.size(); ++i) {
            commitFile(temporaries[i], files[i].path);
            temporaries[i].clear();
        }
    } catch (...) {
        for (const fs::path& t : temporaries) {
            if (!t.empty()) {
                discardFile(t);
            }
        }
        throw;
    }
}

bool sameFile(const fs::path& a, const fs::path& b) {
    // Neither file need exist yet, so they are compared by their absolute, normalised names.
    std::error_code aError, bError;
    return fs::weakly_canonical(fs::absolute(a), aError) ==
               fs::weakly_canonical(fs::absolute(b), bError) &&
           !aError && !bError;
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
    if (sameFile(packagePath, codesPath)) {
        throw usageMistake("--package and --codes name the same file; give two files");
    }
    PackedQuiz packed = packQuiz(*makeQuiz(result.description));
    std::vector<PackedFile> files = {{packagePath, &packed.package},
                                     {codesPath, &packed.codeTable}};
    const bool extras = args.has("--extras");
    if (extras) {
        fs::path extrasPath = pathFromArgument(args.value("--extras"));
        refuseOutputOverInputs(extrasPath, inputs, readOnly);
        if (sameFile(extrasPath, packagePath) || sameFile(extrasPath, codesPath)) {
            throw usageMistake("--extras names the same file as --package or --codes; give "
                               "three files");
        }
        files.push_back({extrasPath, &packed.extras});
    } else if (!packed.extras.empty()) {
        // Without it the quiz would lose its other forms, tolerances or link unseen.
        throw QuizpackError(kExitBadInput,
                            result.description.file +
                                ": this quiz has accepted forms beyond the first, a [grading] "
                                "table or its own link, which go in a third resource, "
                                "\"PATCH\" 106; give --extras FILE too; nothing written");
    }
    writeAll(files);
    printf("%s: %zu bytes (%zu unpacked); %s: %zu bytes (%zu unpacked)",
           displayPath(packagePath).c_str(), packed.package.size(), packed.packageLength,
           displayPath(codesPath).c_str(), packed.codeTable.size(), packed.codeTableLength);
    if (extras) {
        printf("; %s: %zu bytes (%zu unpacked%s)", displayPath(files[2].path).c_str(),
               packed.extras.size(), packed.extrasLength,
               packed.extras.empty() ? ": the quiz has none, and the file is empty" : "");
    }
    printf("\n");
    return kExitOk;
}
