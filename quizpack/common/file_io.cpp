#include "quizpack/common/file_io.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

std::string displayPath(const fs::path& path) {
    return excerpt(path.u8string(), kPathExcerptCharacters);
}

std::vector<uint8_t> readWholeFile(const fs::path& path) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        throw FileError(tr("{file}: no such file", {{"file", displayPath(path)}}));
    }
    if (!fs::is_regular_file(status)) {
        throw FileError(tr("{file}: not a regular file", {{"file", displayPath(path)}}));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileError(tr("{file}: cannot be opened for reading", {{"file", displayPath(path)}}));
    }
    std::vector<uint8_t> bytes;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        in.read(reinterpret_cast<char*>(bytes.data()), size);
    }
    if (!in) {
        throw FileError(tr("{file}: read failed", {{"file", displayPath(path)}}));
    }
    return bytes;
}

fs::path writeTemporaryBeside(const fs::path& target, const std::vector<uint8_t>& bytes) {
    // The temporary file lives in the target's own folder so that the final rename stays
    // on one file system and replaces the target in one step.
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path temporary = target;
    temporary += ".quizpack-" + std::to_string(stamp % 1000000007) + "-" +
                 std::to_string(counter++) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw FileError(tr("{file}: cannot create a file in its folder ({reason})",
                               {{"file", displayPath(target)}, {"reason", std::strerror(errno)}}));
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            discardFile(temporary);
            throw FileError(
                tr("{file}: write failed (disk full?)", {{"file", displayPath(target)}}));
        }
    }
    return temporary;
}

void commitFile(const fs::path& temporary, const fs::path& target) {
    std::error_code ec;
    // A replaced file keeps its permissions (an author's chmod, a read-only flag that
    // --force overrode): the new file takes them once it is in place.
    const fs::file_status old = fs::status(target, ec);
    const bool replaces = fs::is_regular_file(old);
#if defined(_WIN32)
    // Windows does not rename over a read-only file.
    const bool readOnly =
        replaces && (old.permissions() & fs::perms::owner_write) == fs::perms::none;
    if (readOnly) {
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
    }
#endif
    fs::rename(temporary, target, ec);
    if (ec) {
#if defined(_WIN32)
        if (readOnly) {
            std::error_code restore;
            fs::permissions(target, old.permissions(), restore);
        }
#endif
        discardFile(temporary);
        throw FileError(tr("{file}: cannot be replaced ({reason})",
                           {{"file", displayPath(target)}, {"reason", ec.message()}}));
    }
    if (replaces) {
        fs::permissions(target, old.permissions(), ec);
    }
}

void discardFile(const fs::path& temporary) noexcept {
    std::error_code ec;
    fs::remove(temporary, ec);
}

void writeFileAtomically(const fs::path& target, const std::vector<uint8_t>& bytes) {
    commitFile(writeTemporaryBeside(target, bytes), target);
}

std::string formatSize(uint64_t bytes, Language language) {
    const bool english = language == Language::English;
    if (bytes < 1024) {
        return english ? std::to_string(bytes) + " bytes" : trn("{n} byte", "{n} bytes", bytes);
    }
    const bool kilobytes = bytes < 1024 * 1024;
    const double value = bytes / (kilobytes ? 1024.0 : 1024.0 * 1024.0);
    if (english) {
        char number[32];
        snprintf(number, sizeof number, "%.1f", value);
        return std::string(number) + (kilobytes ? " KB" : " MB");
    }
    const std::string size = decimalNumber(value, 1);

    return kilobytes ? tr("{size} KB", {{"size", size}}) : tr("{size} MB", {{"size", size}});
}

void MadeDirectories::make(const fs::path& dir) {
    std::error_code ec;
    if (fs::exists(dir, ec)) {
        return;
    }
    make(dir.parent_path().empty() ? fs::path(".") : dir.parent_path());
    if (!fs::create_directory(dir, ec) && ec) {
        throw FileError(tr("{folder}: cannot create the folder ({reason})",
                           {{"folder", displayPath(dir)}, {"reason", ec.message()}}));
    }
    made.push_back(dir);
}

MadeDirectories::~MadeDirectories() {
    if (committed)
        return;
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        std::error_code ec;
        fs::remove(*it, ec); // only removes an empty folder
    }
}

void PendingFiles::stage(const fs::path& target, const std::vector<uint8_t>& bytes) {
    std::error_code exists;
    bool replaces = fs::exists(target, exists);
    pending_.push_back(Pending{writeTemporaryBeside(target, bytes), target, replaces});
}

void PendingFiles::commit(std::vector<fs::path>* written) {
    for (Pending& p : pending_) {
        commitFile(p.temporary, p.target);
        written->push_back(p.target);
        p.temporary.clear();
    }
    committed_ = true;
}

PendingFiles::~PendingFiles() {
    if (committed_)
        return;
    for (const Pending& p : pending_) {
        if (!p.temporary.empty()) {
            discardFile(p.temporary);
        } else if (!p.replaces) {
            discardFile(p.target);
        }
    }
}
