// Keeping an author's files safe from the commands that write: an output is never one of
// the command's own inputs, and a file the author made read-only is replaced only when
// asked with --force. Every writing command calls refuseOutputOverInputs for each file it
// is about to write, before it writes anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// A file a command reads, and what it is to the author ("the description", "the picture of
// question 2"), for the message that refuses to write over it.
struct CommandInput {
    std::filesystem::path path;
    std::string role;
};

// Replace: --force, which also lets a command replace a file it did not write.
enum class ReadOnlyOutput { Refuse, Replace };

// Throws QuizpackError (exit code 2) when `output` is one of `inputs` (the same file on
// disk, however it is named: relative paths, "./", "..", symlinks and hard links are seen
// through), when it is a folder, or when it exists read-only and `readOnly` is Refuse.
// Inputs that do not exist are passed over.
void refuseOutputOverInputs(const std::filesystem::path& output,
                            const std::vector<CommandInput>& inputs, ReadOnlyOutput readOnly);

// What an existing output file is when the command did not write it ("a text file"), or ""
// when it is the command's own kind of file, which it may replace.
using OtherFileKind = std::function<std::string(const std::vector<uint8_t>& bytes)>;

// Throws QuizpackError (exit code 2) when `output` exists and `otherKind` says it is not
// `ownKind` ("a quiz executable"), unless `force` is Replace: notes, pictures or another
// program that happen to have the output's name are never replaced unasked.
void refuseReplacingOtherFile(const std::filesystem::path& output, const std::string& ownKind,
                              const OtherFileKind& otherKind, ReadOnlyOutput force);

// A file whose owner may not write it (chmod a-w, or the read-only attribute on Windows).
bool isReadOnlyFile(const std::filesystem::path& path);
