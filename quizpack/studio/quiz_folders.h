// The quizzes of the folder the studio lists, and the folder a new quiz gets.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ListedQuiz {
    std::string name;  // what the list shows and the page sends back: a folder or a .toml file
    std::string title; // its title, "" when it has none or cannot be read
    std::string kind;
    std::filesystem::path description;
};

// Each sub-folder of `folder` that holds quiz.toml, then each .toml file of `folder`
// itself, by name.
std::vector<ListedQuiz> listQuizzes(const std::filesystem::path& folder);

// A folder name for a quiz titled `title` (UTF-8): the name build gives its executable
// (fileNameFromTitle: "Capitales d'Europe" -> "Capitales-d-Europe"), or "CON-quiz" for a
// name Windows keeps for a device. "" when the title has no letter or digit.
std::string quizFolderName(const std::string& title);
