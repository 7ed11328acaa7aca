#include "quizpack/studio/quiz_folders.h"

#include <algorithm>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_names.h"
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
    const std::string title1252 = utf8ToCp1252AsTyped(title);
    std::string name = fileNameFromTitle(title1252);
    if (name.empty()) {
        // A name Windows keeps for a device (CON, LPT1) is still a fine title: its folder
        // is "CON-quiz". A title with no letter or digit gives "quiz" here, and no folder.
        name = fileNameFromTitle(title1252 + " quiz");
        return name == "quiz" ? "" : name;
    }
    return name;
}
