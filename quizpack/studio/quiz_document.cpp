#include "quizpack/studio/quiz_document.h"

#include <toml++/toml.h>

#include "content/quiz.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/common/file_io.h"
#include "quizpack/description/description_screen.h"
#include "quizpack/description/description_syntax.h"
#include "quizpack/description/question_table.h"
#include "quizpack/description/toml_writer.h"
#include "quizpack/studio/studio_fields.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

bool isNumber(const StudioField& f) {
    return f.type == FieldType::Number;
}

bool isList(const StudioField& f) {
    return f.index >= 0 || f.type == FieldType::Lines;
}

// "grading.accents" -> {"grading", "accents"}; "title" -> {"", "title"}.
std::pair<std::string, std::string> splitKey(const std::string& key) {
    size_t dot = key.find('.');
    return dot == std::string::npos ? std::make_pair(std::string(), key)
                                    : std::make_pair(key.substr(0, dot), key.substr(dot + 1));
}

// The keys of one scope, each once, in table order.
std::vector<const StudioField*> keysOf(FieldScope scope) {
    std::vector<const StudioField*> keys;
    for (const StudioField& f : studioFields()) {
        bool seen = false;
        for (const StudioField* k : keys) {
            seen = seen || std::string(k->key) == f.key;
        }
        if (f.scope == scope && !seen) {
            keys.push_back(&f);
        }
    }
    return keys;
}

// A TOML value as the model holds it; null when its type is not the field's.
json modelValue(const toml::node& node, const StudioField& f) {
    if (isList(f)) {
        const toml::array* array = node.as_array();
        if (array == nullptr) {
            return nullptr;
        }
        json list = json::array();
        for (const toml::node& element : *array) {
            if (!element.is_string()) {
                return nullptr;
            }
            list.push_back(element.as_string()->get());
        }
        return list;
    }
    if (isNumber(f)) {
        return node.is_integer() ? json(node.as_integer()->get()) : json(nullptr);
    }
    return node.is_string() ? json(node.as_string()->get()) : json(nullptr);
}

// "title is not a text": `key` as the description writes it ("question[2].answers").
std::string notOfItsType(const StudioField& f, const std::string& key) {
    return isList(f)     ? tr("{key} is not a list of texts", {{"key", key}})
           : isNumber(f) ? tr("{key} is not a number", {{"key", key}})
                         : tr("{key} is not a text", {{"key", key}});
}

struct Reader {
    LoadedDescription* out;

    bool fail(const std::string& why) {
        out->editable = false;
        out->problem = why;
        return false;
    }

    // The keys of a table of dotted fields ([grading]) that no field edits.
    void dropUnknownLeaves(const toml::table& table, const std::string& tableName,
                           const std::vector<const StudioField*>& keys) {
        for (const auto& [name, node] : table) {
            const std::string dotted = tableName + "." + std::string(name.str());
            bool known = false;
            for (const StudioField* f : keys) {
                known = known || dotted == f->key;
            }
            if (!known) {
                out->droppedKeys.push_back(dotted);
            }
        }
    }

    // Reads the keys of `scope` from `table` into `into`; unknown keys go to droppedKeys.
    bool readTable(const toml::table& table, FieldScope scope, const std::string& where,
                   json* into) {
        std::vector<const StudioField*> keys = keysOf(scope);
        for (const auto& [name, node] : table) {
            std::string key(name.str());
            bool known = scope == FieldScope::Quiz && (key == "question" || key == "questions");
            for (const StudioField* f : keys) {
                auto [tableName, leaf] = splitKey(f->key);
                known = known || key == (tableName.empty() ? leaf : tableName);
            }
            if (!known) {
                out->droppedKeys.push_back(where + key);
            } else if (const toml::table* sub = node.as_table(); sub && scope == FieldScope::Quiz) {
                dropUnknownLeaves(*sub, key, keys);
            }
        }
        for (const StudioField* f : keys) {
            auto [tableName, leaf] = splitKey(f->key);
            const toml::node* node = nullptr;
            if (tableName.empty()) {
                node = table.get(leaf);
            } else if (const toml::table* sub = table.get_as<toml::table>(tableName)) {
                node = sub->get(leaf);
            }
            if (node == nullptr) {
                continue;
            }
            json value = modelValue(*node, *f);
            if (value.is_null()) {
                return fail(notOfItsType(*f, where + f->key));
            }
            (*into)[f->key] = value;
        }
        return true;
    }

    bool readQuestions(const toml::table& root, const fs::path& folder) {
        json questions = json::array();
        if (const toml::node* file = root.get("questions")) {
            if (!file->is_string() || root.get("question") != nullptr) {
                return fail(tr("questions is not the one place of the questions"));
            }
            out->questionsFile = file->as_string()->get();
            std::vector<uint8_t> bytes;
            try {
                bytes = readWholeFile(folder / fs::u8path(out->questionsFile));
            } catch (const FileError& e) {
                return fail(e.what());
            }
            std::vector<Diagnostic> diagnostics;
            std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            if (!readStudioQuestionTable(text, out->questionsFile, &questions, &diagnostics)) {
                return fail(
                    tr("{file} is not a table of questions", {{"file", out->questionsFile}}));
            }
        } else if (const toml::node* node = root.get("question")) {
            const toml::array* array = node->as_array();
            if (array == nullptr || !array->is_array_of_tables()) {
                return fail(tr("question is not a list of [[question]] tables"));
            }
            for (size_t i = 0; i < array->size(); ++i) {
                json question = json::object();
                std::string where = "question[" + std::to_string(i + 1) + "].";
                if (!readTable(*array->get(i)->as_table(), FieldScope::Question, where,
                               &question)) {
                    return false;
                }
                questions.push_back(question);
            }
        }
        if (questions.size() > static_cast<size_t>(kMaxQuestions)) {
            return fail(std::to_string(questions.size()) + " questions; a quiz holds at most 90");
        }
        out->quiz["questions"] = questions;
        return true;
    }
};

void writeValue(std::string* out, const std::string& leaf, const json& value) {
    *out += leaf + " = ";
    if (value.is_number_integer()) {
        *out += std::to_string(value.get<long long>());
    } else if (value.is_array()) {
        *out += "[";
        for (size_t i = 0; i < value.size(); ++i) {
            *out += (i ? ", " : "") + tomlString(value[i].get<std::string>());
        }
        *out += "]";
    } else {
        *out += tomlString(value.get<std::string>());
    }
    *out += "\n";
}

bool isEmptyValue(const json& value) {
    if (value.is_string()) {
        return value.get<std::string>().empty();
    }
    if (value.is_array()) {
        for (const json& v : value) {
            if (!isEmptyValue(v)) {
                return false;
            }
        }
        return true;
    }
    return value.is_null();
}

// The keys of `scope` that `values` gives: plain keys first, then each [table] of dotted ones.
void writeKeys(std::string* out, const json& values, FieldScope scope, bool skipEmpty) {
    std::string table;
    for (int pass = 0; pass < 2; ++pass) {
        for (const StudioField* f : keysOf(scope)) {
            auto [tableName, leaf] = splitKey(f->key);
            if ((pass == 0) != tableName.empty() || !values.contains(f->key)) {
                continue;
            }
            const json& value = values[f->key];
            if (skipEmpty && isEmptyValue(value) && std::string(f->key) != "answers") {
                continue;
            }
            if (tableName != table) {
                *out += "\n[" + tableName + "]\n";
                table = tableName;
            }
            writeValue(out, leaf, value);
        }
    }
}

std::string valueProblem(const json& value, const StudioField& f) {
    if (isList(f)) {
        if (!value.is_array() || value.size() > 256) {
            return std::string(f.key) + " must be a list of texts";
        }
        for (const json& v : value) {
            if (!v.is_string()) {
                return tr("{key} must be a list of texts", {{"key", f.key}});
            }
        }
        return "";
    }
    if (isNumber(f)) {
        return value.is_number_integer() ? "" : tr("{key} must be a number", {{"key", f.key}});
    }
    return value.is_string() ? "" : tr("{key} must be a text", {{"key", f.key}});
}

std::string objectProblem(const json& values, FieldScope scope) {
    if (!values.is_object()) {
        return tr("an object was expected");
    }
    std::vector<const StudioField*> keys = keysOf(scope);
    for (const auto& [key, value] : values.items()) {
        const StudioField* field = nullptr;
        for (const StudioField* f : keys) {
            field = key == f->key ? f : field;
        }
        if (field == nullptr) {
            return tr("unknown key {key}", {{"key", key}});
        }
        if (std::string problem = valueProblem(value, *field); !problem.empty()) {
            return problem;
        }
    }
    return "";
}

} // namespace

LoadedDescription loadStudioDescription(std::string_view text, const fs::path& folder) {
    LoadedDescription loaded;
    Reader reader{&loaded};
    if (std::optional<Diagnostic> problem = findEncodingProblem(text, "quiz.toml")) {
        reader.fail(problem->message);
        return loaded;
    }
    std::string parserText;
    if (auto problem = screenDescription(text, &parserText)) {
        reader.fail(
            tr("line {line}: {problem}", {{"line", problem->line}, {"problem", problem->message}}));
        return loaded;
    }
    toml::table root;
    try {
        root = toml::parse(parserText);
    } catch (const toml::parse_error& e) {
        reader.fail(describeSyntaxError(e, parserText, "quiz.toml").message);
        return loaded;
    }
    loaded.quiz = {{"settings", json::object()}, {"questions", json::array()}};
    if (!reader.readTable(root, FieldScope::Quiz, "", &loaded.quiz["settings"]) ||
        !reader.readQuestions(root, folder)) {
        loaded.quiz = nullptr;
        return loaded;
    }
    loaded.editable = true;
    loaded.writtenByStudio = writeStudioDescription(loaded.quiz) == text;
    return loaded;
}

std::string writeStudioDescription(const json& quiz) {
    std::string out;
    writeKeys(&out, quiz["settings"], FieldScope::Quiz, false);
    for (const json& question : quiz["questions"]) {
        out += "\n[[question]]\n";
        writeKeys(&out, question, FieldScope::Question, true);
    }
    return out;
}

std::string quizModelProblem(const json& quiz) {
    if (!quiz.is_object() || !quiz.contains("settings") || !quiz.contains("questions") ||
        !quiz["questions"].is_array() || quiz.size() != 2) {
        return tr("a quiz has settings and questions");
    }
    if (std::string problem = objectProblem(quiz["settings"], FieldScope::Quiz); !problem.empty()) {
        return problem;
    }
    if (quiz["questions"].size() > static_cast<size_t>(kMaxQuestions)) {
        return tr("a quiz holds at most 90 questions");
    }
    for (const json& question : quiz["questions"]) {
        if (std::string problem = objectProblem(question, FieldScope::Question); !problem.empty()) {
            return problem;
        }
    }
    return "";
}

bool readStudioQuestionTable(std::string_view text, const std::string& file, json* questions,
                             std::vector<Diagnostic>* diagnostics) {
    QuestionTable table;
    if (!readQuestionTable(text, file, &table, diagnostics)) {
        return false;
    }
    // Each column is the question key of the same name; the two answers are one list.
    const char* keys[kQuestionColumnCount] = {nullptr,   nullptr,          "text", "reveal_text",
                                              "picture", "reveal_picture", "clip"};
    *questions = json::array();
    for (const QuestionRow& row : table.rows) {
        json question = json::object();
        json answers = json::array();
        for (int c = 0; c < kQuestionColumnCount; ++c) {
            const std::optional<CsvField>& cell = row.cells[static_cast<size_t>(c)];
            std::string value = cell ? cell->text : "";
            if (c == kAnswerColumn || c == kAnswer2Column) {
                answers.push_back(value);
            } else if (!value.empty()) {
                question[keys[c]] = value;
            }
        }
        if (answers.size() == 2 && answers[1].get<std::string>().empty()) {
            answers.erase(1);
        }
        question["answers"] = answers;
        questions->push_back(question);
    }
    return true;
}

json newQuizModel(const std::string& kind, const std::string& title) {
    json settings = {{"title", title},
                     {"creator", ""},
                     {"explanation", ""},
                     {"kind", kind},
                     {"answers_per_question", 1},
                     {"reveal", "none"},
                     {"background", "#FFFFFF"},
                     {"codes", json::array()}};
    return {{"settings", settings}, {"questions", json::array({{{"answers", {""}}}})}};
}
