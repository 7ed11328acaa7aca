// Folders of the tests' own under the system's temporary folder, for the files a test writes
// and for programs that work in their current directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// A fresh, empty folder of its own, removed with everything in it when the object goes.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name = "test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }
    // The path of `name` in the folder, as the narrow string the platform's calls take.
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // The names of what the folder holds (files and folders, not below), sorted; with a
    // pattern, only those that match it ('*' stands for any run of characters).
    std::vector<std::string> names(const std::string& pattern = "*") const;

  private:
    std::filesystem::path path_;
};

// A TempFolder that is the current directory for as long as it lives: the player keeps its
// answers file and its clip files there.
class WorkingFolder : public TempFolder {
  public:
    explicit WorkingFolder(const std::string& name = "work");
    ~WorkingFolder();

  private:
    std::filesystem::path previous_;
};

} // namespace test_support
