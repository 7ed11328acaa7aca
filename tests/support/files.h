// Whole files read and written as bytes, by host and Windows tests alike.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

// What `path` holds; "<missing>" when there is no such file.
std::string readFile(const std::filesystem::path& path);
// What `path` holds; empty when there is no such file.
Bytes readBytes(const std::filesystem::path& path);

// Writes `bytes` as the whole of `path`, making the folders above it. A failure fails the
// running test as well as returning false.
bool writeFile(const std::filesystem::path& path, const std::string& bytes);
bool writeBytes(const std::filesystem::path& path, const Bytes& bytes);

bool fileExists(const std::filesystem::path& path);

// Every file and folder below `folder`, as sorted paths relative to it with '/' between
// their parts, for "nothing was left behind" checks.
std::vector<std::string> listFiles(const std::filesystem::path& folder);

inline Bytes asBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline std::string asText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

} // namespace test_support
