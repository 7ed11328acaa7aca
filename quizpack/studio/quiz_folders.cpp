#include "quizpack/studio/quiz_folders.h"

#include <algorithm>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/studio/quiz_document.h"

namespace fs = std::filesystem;

namespace {

ListedQuiz describe(const std::string& name, const fs::path& description) {
    ListedQuiz quiz{name, "", "", description};
    try {
        std::vector<uint8_t> bytes = readWholeFile(description);
        LoadedDescription loaded = loadStudioDescription(std::string(bytes.begin(), bytes.end()),
                                                         description.parent_path());
        if (loaded.editable) {
            quiz.title = loaded.quiz["settings"].value("title", "");
            quiz.kind = loaded.quiz["settings"].value("kind", "");
        }
    } catch (const FileError&) {
        // Listed all the same: opening it says what is wrong.
    }
    return quiz;
}

// The letter a Windows-1252 accented letter is written with, or 0.
char baseLetter(uint32_t codepoint) {
    static const char* const kBases[] = {
        "AAAAAAACEEEEIIII", // U+00C0..U+00CF (Æ as A)
        "DNOOOOO OUUUUY  ", // U+00D0..U+00DF
        "aaaaaaaceeeeiiii", // U+00E0..U+00EF
        "dnooooo ouuuuy y", // U+00F0..U+00FF
    };
    if (codepoint >= 0xC0 && codepoint <= 0xFF) {
        char c = kBases[(codepoint - 0xC0) / 16][(codepoint - 0xC0) % 16];
        return c == ' ' ? 0 : c;
    }
    return 0;
}

} // namespace

std::vector<ListedQuiz> listQuizzes(const fs::path& folder) {
    std::vector<ListedQuiz> folders, files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        std::string name = entry.path().filename().u8string();
        if (name.empty() || name[0] == '.') {
            continue;
        }
        if (entry.is_directory(ec) && fs::is_regular_file(entry.path() / "quiz.toml", ec)) {
            folders.push_back(describe(name, entry.path() / "quiz.toml"));
        } else if (entry.is_regular_file(ec) && entry.path().extension() == ".toml") {
            files.push_back(describe(name, entry.path()));
        }
    }
    auto byName = [](const ListedQuiz& a, const ListedQuiz& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

std::string quizFolderName(const std::string& title) {
    std::string name;
    bool gap = false;
    for (size_t at = 0; at < title.size() && name.size() < 60;) {
        uint32_t codepoint = 0;
        size_t length = utf8CharacterLength(title, at, &codepoint);
        at += length > 0 ? length : 1;
        char c = codepoint < 0x80 ? static_cast<char>(codepoint) : baseLetter(codepoint);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            if (gap && !name.empty()) {
                name += '-';
            }
            name += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    // Names Windows keeps for its devices cannot be folders there.
    std::string upper;
    for (char c : name) {
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    bool device =
        upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" ||
        (upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
         upper[3] >= '1' && upper[3] <= '9');
    return device ? name + "-quiz" : name;
}
