// A quiz description as the editor holds it: one JSON object read from the description's
// text and written back as a description, both through the field table (studio_fields.h).
//
//   {"settings": {"title": "...", "answers_per_question": 2, "labels": ["A", "B"],
//                 "codes": ["..."], ...},
//    "questions": [{"answers": ["...", "..."], "text": "...", "picture": "media/q01.jpg"}]}
//
// A key the description leaves out is left out of "settings" too, and a question's empty
// text or media is left out of what is written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

struct LoadedDescription {
    bool editable = false;
    std::string problem; // why the studio cannot edit it (not editable)
    nlohmann::json quiz; // the model
    // The text is exactly what writeStudioDescription makes of its model: rewriting it loses
    // nothing, not even a comment.
    bool writtenByStudio = false;
    std::vector<std::string> droppedKeys; // keys the studio does not know, as written
    std::string questionsFile;            // the CSV file the questions came from, if any
};

// Reads a description's text; a questions file it names is read from `folder`.
LoadedDescription loadStudioDescription(std::string_view text, const std::filesystem::path& folder);

// The model as a description (UTF-8 TOML).
std::string writeStudioDescription(const nlohmann::json& quiz);

// Why a model from the page does not have the shape above (keys, types, at most 90
// questions); "" when it has it.
std::string quizModelProblem(const nlohmann::json& quiz);

// The questions of a CSV file (questions = "..." of a description) as the model holds
// them. False, with the problems in *diagnostics, when the file gives no table.
struct Diagnostic;
bool readStudioQuestionTable(std::string_view text, const std::string& file,
                             nlohmann::json* questions, std::vector<Diagnostic>* diagnostics);

// A new quiz of `kind` (text, picture, audio, video) titled `title`, with one question.
nlohmann::json newQuizModel(const std::string& kind, const std::string& title);
