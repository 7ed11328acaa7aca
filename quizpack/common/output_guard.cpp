#include "quizpack/common/output_guard.h"

#include "quizpack/common/file_io.h"
#include "quizpack/common/quizpack_error.h"
#include "quizpack/common/messages.h"

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
            const MessageArguments arguments = {
                {"file", name}, {"role", input.role}, {"path", displayPath(input.path)}};
            throw QuizpackError(
                kExitBadInput,
                displayPath(input.path) == name
                    ? tr("{file} is {role}, which this command reads: writing there would "
                         "destroy it, so nothing was written; give another output file",
                         arguments)
                    : tr("{file} is {role} ({path}), which this command reads: writing there "
                         "would destroy it, so nothing was written; give another output file",
                         arguments));
        }
    }
    std::error_code ec;
    if (fs::is_directory(output, ec)) {
        throw QuizpackError(
            kExitBadInput,
            tr("{file} is a folder; give the name of a file to write", {{"file", name}}));
    }
    if (readOnly == ReadOnlyOutput::Refuse && isReadOnlyFile(output)) {
        throw QuizpackError(kExitBadInput,
                            tr("{file} exists and is read-only, so nothing was written; pass "
                               "--force to replace it, or give another output file",
                               {{"file", name}}));
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
                            tr("{file} exists and is {kind}, not {own}, so nothing was written; "
                               "give another output file, or pass --force to replace it",
                               {{"file", displayPath(output)}, {"kind", kind}, {"own", ownKind}}));
    }
}
