// Whole-file reading and writing for quizpack. Outputs never appear half-written: they go
// to a temporary file in the target's folder and are renamed over the target at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "quizpack/common/messages.h"
#include "quizpack/common/quizpack_error.h"

// A file that cannot be read or written; what() names the file and the reason. Exit code 2.
class FileError : public QuizpackError {
  public:
    explicit FileError(const std::string& message) : QuizpackError(kExitBadInput, message) {}
};

// The file's bytes. Throws FileError when it is missing, not a regular file or unreadable.
std::vector<uint8_t> readWholeFile(const std::filesystem::path& path);

// Writes `bytes` to a new temporary file beside `target`; the caller renames it with
// commitFile or throws it away with discardFile. Throws FileError (no file left behind).
std::filesystem::path writeTemporaryBeside(const std::filesystem::path& target,
                                           const std::vector<uint8_t>& bytes);

// Renames a temporary file over `target`. Throws FileError, the temporary file removed.
void commitFile(const std::filesystem::path& temporary, const std::filesystem::path& target);

// Removes a temporary file; never throws.
void discardFile(const std::filesystem::path& temporary) noexcept;

// writeTemporaryBeside then commitFile: `target` is either untouched or complete.
void writeFileAtomically(const std::filesystem::path& target, const std::vector<uint8_t>& bytes);

// Folders made by one command, removed again (when still empty) unless it is committed.
struct MadeDirectories {
    std::vector<std::filesystem::path> made;
    bool committed = false;

    // Makes `dir` and the folders above it that are missing. Throws FileError.
    void make(const std::filesystem::path& dir);
    ~MadeDirectories();
};

// Files written under temporary names, renamed together at the end; on failure the
// temporary files and the new files of a half-done commit go again.
class PendingFiles {
  public:
    void stage(const std::filesystem::path& target, const std::vector<uint8_t>& bytes);
    void commit(std::vector<std::filesystem::path>* written);
    ~PendingFiles();

  private:
    struct Pending {
        std::filesystem::path temporary, target;
        bool replaces; // a file of that name was there before
    };
    std::vector<Pending> pending_;
    bool committed_ = false;
};

// A path for messages, in UTF-8 as written on the command line or in a description.
std::string displayPath(const std::filesystem::path& path);

// "812 bytes", "14.2 KB", "3.1 MB" (1 KB = 1024 bytes), in `language` ("3,1 Mo"): files
// quizpack writes say it in English, whatever the author's language.
std::string formatSize(uint64_t bytes, Language language = messageLanguage());
