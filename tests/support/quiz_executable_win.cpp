#include "tests/support/quiz_executable_win.h"

#include "content/lzw.h"
#include "content/package.h"
#include "resources/resource.h"
#include "tests/support/programs.h"

namespace test_support {

std::string lastError(const std::string& what) {
    return what + " failed, error " + std::to_string(GetLastError());
}

std::string packed(const std::vector<uint8_t>& plain) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    if (lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length) != LZW_OK) {
        return "";
    }
    std::string bytes(out, out + length);
    lzwFreeBuffer(out);
    return bytes;
}

std::string writeExecutable(const std::string& from, const std::string& to,
                            const std::vector<ResourceData>& resources) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) {
        return lastError("CopyFileA of " + from);
    }
    HANDLE update = BeginUpdateResourceA(to.c_str(), FALSE);
    if (update == nullptr) {
        return lastError("BeginUpdateResourceA");
    }
    for (const ResourceData& r : resources) {
        std::string name = std::string(r.type) + " " + std::to_string(r.id);
        std::string problem =
            r.bytes.empty() ? name + " has no bytes"
            : UpdateResourceA(update, r.type, MAKEINTRESOURCEA(r.id), 0,
                              const_cast<char*>(r.bytes.data()), static_cast<DWORD>(r.bytes.size()))
                ? ""
                : lastError("UpdateResourceA of " + name);
        if (!problem.empty()) {
            EndUpdateResourceA(update, TRUE);
            return problem;
        }
    }
    return EndUpdateResourceA(update, FALSE) ? "" : lastError("EndUpdateResourceA");
}

std::string writeQuizExecutable(const std::string& path, const Quiz& quiz,
                                const std::vector<ResourceData>& images) {
    std::vector<ResourceData> resources = {
        {"PATCH", IDR_QUIZ_PACKAGE, packed(layOutPackage(quiz))},
        {"PATCH", IDR_CODE_TABLE, packed(layOutCodeTable(quiz))}};
    resources.insert(resources.end(), images.begin(), images.end());
    return writeExecutable(playerPath(), path, resources);
}

std::string resourceBytes(HMODULE module, const char* type, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) {
        return "";
    }
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
}

} // namespace test_support
