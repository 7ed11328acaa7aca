// Executables that carry a quiz or other resources, written by the system's own resource
// calls into a copy of a program, and the resources of a program read back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "content/quiz.h"

namespace test_support {

struct ResourceData {
    const char* type; // "PATCH", "IMG"
    int id;
    std::string bytes;
};

// What Windows says failed: "<what> failed, error <code>".
std::string lastError(const std::string& what);

// `plain` packed by the player's own codec; empty when it cannot be packed.
std::string packed(const std::vector<uint8_t>& plain);

// Copies the program `from` to `to` and adds `resources` to the copy, in language 0 as the
// player's resource script has them. Wine refuses resources of no bytes, and so does this.
// "" on success, else what failed.
std::string writeExecutable(const std::string& from, const std::string& to,
                            const std::vector<ResourceData>& resources);

// A copy of the real player at `path` carrying `quiz` (its package and code table, packed)
// and the "IMG" resources `images`. "" on success, else what failed.
std::string writeQuizExecutable(const std::string& path, const Quiz& quiz,
                                const std::vector<ResourceData>& images = {});

// The bytes of resource `type`/`id` of `module` (null: this program); empty when it has none.
std::string resourceBytes(HMODULE module, const char* type, int id);

// An executable loaded as data, to read its resources; freed when the object goes.
class ExecutableData {
  public:
    explicit ExecutableData(const std::string& path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ExecutableData() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    ExecutableData(const ExecutableData&) = delete;
    ExecutableData& operator=(const ExecutableData&) = delete;

    HMODULE module() const { return module_; }
    std::string resource(const char* type, int id) const {
        return module_ != nullptr ? resourceBytes(module_, type, id) : "";
    }

  private:
    HMODULE module_;
};

} // namespace test_support
