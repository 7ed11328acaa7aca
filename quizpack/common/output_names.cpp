#include "quizpack/common/output_names.h"

#include "quizpack/common/cp1252.h"

namespace fs = std::filesystem;

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// CON.exe or com1.html cannot be opened as files on Windows, whatever their extension.
bool isWindowsDeviceName(const std::string& stem) {
    static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
    std::string lower;
    for (char c : stem) {
        lower += lowerAscii(c);
    }
    for (const char* device : kDevices) {
        if (lower == device) {
            return true;
        }
    }
    return lower.size() == 4 &&
           (lower.compare(0, 3, "com") == 0 || lower.compare(0, 3, "lpt") == 0) &&
           lower[3] >= '1' && lower[3] <= '9';
}

} // namespace

std::string fileNameFromTitle(std::string_view title) {
    std::string name;
    bool separator = false;
    for (char c : title) {
        std::string_view spelling = asciiSpelling(static_cast<unsigned char>(c));
        if (spelling.empty()) {
            separator = !name.empty();
            continue;
        }
        if (separator) {
            name += '-';
            separator = false;
        }
        name += spelling;
    }
    if (name.size() > kMaxTitleNameLength) {
        // Cut between words where one ends close enough to the limit.
        size_t cut = name.rfind('-', kMaxTitleNameLength);
        name.resize(
            cut != std::string::npos && cut >= kMaxTitleNameLength / 2 ? cut : kMaxTitleNameLength);
    }
    return isWindowsDeviceName(name) ? std::string() : name;
}

fs::path defaultOutputPath(const fs::path& input, std::string_view title, const char* extension) {
    const std::string fromTitle = fileNameFromTitle(title);
    fs::path output = input;
    if (fromTitle.empty()) {
        output.replace_extension(extension);
    } else {
        output.replace_filename(fs::u8path(fromTitle + extension));
    }
    return output;
}
