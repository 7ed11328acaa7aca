#include "quizpack/common/output_guard.h"

#include "quizpack/common/file_io.h"
#include "quizpack/common/quizpack_error.h"

namespace fs = std::filesystem;

namespace {

// Identity, not spelling: fs::equivalent compares the device and file number (the volume
// and file index on Windows) of what both paths lead to.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

} // namespace

bool isReadOnlyFile(const fs::path& path) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    return !ec && fs::is_regular_file(status) &&
           (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

void refuseOutputOverInputs(const fs::path& output, const std::vector<CommandInput>& inputs,
                            ReadOnlyOutput readOnly) {
    const std::string name = displayPath(output);
    for (const CommandInput& input : inputs) {
        if (!input.path.empty() && sameFile(output, input.path)) {
            std::string alias = displayPath(input.path) == name
                                    ? std::string()
                                    : " (" + displayPath(input.path) + ")";
            throw QuizpackError(kExitBadInput,
                                name + " is " + input.role + alias +
                                    ", which this command reads: writing there would destroy "
                                    "it, so nothing was written; give another output file");
        }
    }
    std::error_code ec;
    if (fs::is_directory(output, ec)) {
        throw QuizpackError(kExitBadInput, name + " is a folder; give the name of a file to write");
    }
    if (readOnly == ReadOnlyOutput::Refuse && isReadOnlyFile(output)) {
        throw QuizpackError(kExitBadInput,
                            name + " exists and is read-only, so nothing was written; pass "
                                   "--force to replace it, or give another output file");
    }
}

void refuseReplacingOtherFile(const fs::path& output, const std::string& ownKind,
                              const OtherFileKind& otherKind, ReadOnlyOutput force) {
    std::error_code ec;
    if (force == ReadOnlyOutput::Replace || !fs::is_regular_file(output, ec)) {
        return;
    }
    const std::string kind = otherKind(readWholeFile(output));
    if (!kind.empty()) {
        throw QuizpackError(kExitBadInput,
                            displayPath(output) + " exists and is " + kind + ", not " + ownKind +
                                ", so nothing was written; give another output file, or pass "
                                "--force to replace it");
    }
}
