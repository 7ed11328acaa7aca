// quizpack pack QUIZ.toml --package P --codes C [--extras X]: the packed resources as files,
// for builds that compile their resources with windres.
#include <cstdio>

#include "quizpack/commands/commands.h"
#include "quizpack/description/description.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/executable/packing.h"
#include "quizpack/common/messages.h"

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
        throw usageMistake(tr("give one description, --package and --codes"));
    }
    CheckResult result = checkDescriptionFile(pathFromArgument(args.positional[0]));
    printDiagnostics(result.diagnostics);
    if (!result.ok()) {
        fputs(tr("{file}: {summary}; nothing written\n",
                 {{"file", result.description.file},
                  {"summary", summarizeDiagnostics(result.diagnostics)}})
                  .c_str(),
              stderr);
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
        throw usageMistake(tr("--package and --codes name the same file; give two files"));
    }
    PackedQuiz packed = packQuiz(*makeQuiz(result.description));
    std::vector<PackedFile> files = {{packagePath, &packed.package},
                                     {codesPath, &packed.codeTable}};
    const bool extras = args.has("--extras");
    if (extras) {
        fs::path extrasPath = pathFromArgument(args.value("--extras"));
        refuseOutputOverInputs(extrasPath, inputs, readOnly);
        if (sameFile(extrasPath, packagePath) || sameFile(extrasPath, codesPath)) {
            throw usageMistake(tr("--extras names the same file as --package or --codes; give "
                                  "three files"));
        }
        files.push_back({extrasPath, &packed.extras});
    } else if (!packed.extras.empty()) {
        // Without it the quiz would lose its other forms, tolerances or link unseen.
        throw QuizpackError(kExitBadInput,
                            tr("{file}: this quiz has accepted forms beyond the first, a "
                               "[grading] table or its own link, which go in a third resource, "
                               "\"PATCH\" 106; give --extras FILE too; nothing written",
                               {{"file", result.description.file}}));
    }
    writeAll(files);
    const MessageArguments arguments = {{"package", displayPath(packagePath)},
                                        {"packageBytes", packed.package.size()},
                                        {"packageLength", packed.packageLength},
                                        {"codes", displayPath(codesPath)},
                                        {"codesBytes", packed.codeTable.size()},
                                        {"codesLength", packed.codeTableLength},
                                        {"extras", extras ? displayPath(files[2].path) : ""},
                                        {"extrasBytes", packed.extras.size()},
                                        {"extrasLength", packed.extrasLength}};
    std::string line = tr("{package}: {packageBytes} bytes ({packageLength} unpacked); {codes}: "
                          "{codesBytes} bytes ({codesLength} unpacked)",
                          arguments);
    if (extras) {
        line += packed.extras.empty()
                    ? tr("; {extras}: {extrasBytes} bytes ({extrasLength} unpacked: the quiz has "
                         "none, and the file is empty)",
                         arguments)
                    : tr("; {extras}: {extrasBytes} bytes ({extrasLength} unpacked)", arguments);
    }
    puts(line.c_str());

    return kExitOk;
}
