#include "tests/support/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>

namespace fs = std::filesystem;

namespace test_support {

namespace {

bool matches(const char* pattern, const char* name) {
    if (*pattern == '*') {
        return matches(pattern + 1, name) || (*name != '\0' && matches(pattern, name + 1));
    }
    return *pattern == *name && (*name == '\0' || matches(pattern + 1, name + 1));
}

} // namespace

// Test programs run side by side: the clock and a count keep their folders apart, and a
// folder that already exists is never taken.
TempFolder::TempFolder(const std::string& name) {
    static std::atomic<unsigned> made{0};
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = base / ("quizz-" + name + "-" + std::to_string(stamp % 1000000007) + "-" +
                        std::to_string(made++));
        if (fs::create_directory(path_, ec) || ec) {
            return;
        }
    }
}

// Read-only files are made writable first: removing them fails on Windows.
TempFolder::~TempFolder() {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove_all(path_, ec);
}

std::vector<std::string> TempFolder::names(const std::string& pattern) const {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::directory_iterator(path_, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (matches(pattern.c_str(), name.c_str())) {
            found.push_back(name);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

WorkingFolder::WorkingFolder(const std::string& name) : TempFolder(name) {
    std::error_code ec;
    previous_ = fs::current_path(ec);
    fs::current_path(path(), ec);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

} // namespace test_support
