#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quizpack/description/description_checker.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

const KeyNames kQuestionKeys = {"answers", "text",           "reveal_text",
                                "picture", "reveal_picture", "clip"};

// A spreadsheet of 90 questions is a few hundred kilobytes at most.
constexpr uint64_t kMaxQuestionFileBytes = 4u << 20;

} // namespace

std::string DescriptionChecker::valueText(const QuestionValue& value, const std::string& key,
                                          unsigned rules, const std::string& what) {
    if (value.node != nullptr) {
        return text(*value.node, key, rules, what);
    }
    AtCell at(this, value.cell);
    return convertText(value.cell->text, value.cell->line, key, rules, what);
}

void DescriptionChecker::readQuestions(const toml::table& root) {
    const toml::node* node = root.get("question");
    if (const toml::node* file = root.get("questions")) {
        if (node != nullptr) {
            error(lineOf(*file), "questions",
                  tr("the description has [[question]] tables and a questions file both; it "
                     "takes its questions from one of them"),
                  tr("remove the [[question]] tables or the questions = line"));
            return;
        }
        readQuestionFile(*file);
        return;
    }
    const auto* questions = node ? node->as_array() : nullptr;
    if (node == nullptr || (questions != nullptr && questions->empty())) {
        warning(node ? lineOf(*node) : 0, "question",
                tr("the description has no [[question]]: the quiz is empty"),
                tr("add questions as [[question]] tables, each with answers = [\"...\"], or "
                   "name a CSV file of them with questions = \"questions.csv\""));
        return;
    }
    if (questions == nullptr || !questions->is_array_of_tables()) {
        error(lineOf(*node), "question",
              tr("must be a list of tables, written [[question]] (two brackets), not {type}",
                 {{"type", typeName(*node)}}),
              tr("begin each question with a line [[question]]"));
        return;
    }
    for (size_t i = 0; i < questions->size(); ++i) {
        const toml::table& table = *questions->get(i)->as_table();
        int q = static_cast<int>(i) + 1;
        if (q == kMaxQuestions + 1) {
            error(lineOf(table), questionKey(q, ""),
                  tr("{count} questions; a quiz holds at most 90", {{"count", questions->size()}}),
                  trn("remove {n} question or make a second quiz",
                      "remove {n} questions or make a second quiz",
                      questions->size() - kMaxQuestions));
        }
        readTableQuestion(table, q);
    }
}

void DescriptionChecker::readTableQuestion(const toml::table& table, int q) {
    QuestionEntry entry;
    entry.line = lineOf(table);
    warnUnknownKeys(table, kQuestionKeys, questionKey(q, "") + ".", tr("in a [[question]]"));
    readAnswers(table, q, &entry);
    QuestionValues values;
    values.line = entry.line;
    auto valueOf = [&](const char* name) -> std::optional<QuestionValue> {
        const toml::node* node = table.get(name);
        return node ? std::optional<QuestionValue>(QuestionValue{node, nullptr}) : std::nullopt;
    };
    values.text = valueOf("text");
    values.revealText = valueOf("reveal_text");
    values.picture = valueOf("picture");
    values.revealPicture = valueOf("reveal_picture");
    values.clip = valueOf("clip");
    readQuestion(values, q, std::move(entry));
}

void DescriptionChecker::readQuestion(const QuestionValues& values, int q, QuestionEntry entry) {
    if (values.text) {
        std::string key = questionKey(q, "text");
        entry.text = valueText(*values.text, key, kPackageField, tr("the question text"));
        if (!entry.text.empty() && questionTexts_++ == 0) {
            int column = values.text->cell ? values.text->cell->column : 0;
            firstQuestionText_ = {{source().file, column}, values.text->line(), key};
        }
        if (kindKnown_ && d_.quizType == QUIZ_TEXT) {
            AtCell at(this, values.text->cell);
            warnIfCutOff(values.text->line(), key, entry.text, questionTextBox(),
                         tr("the question text"));
        }
    }
    if (values.revealText) {
        readRevealText(*values.revealText, q, &entry);
    }
    readMedia(values, q);
    d_.questions.push_back(std::move(entry));
}

void DescriptionChecker::readRevealText(const QuestionValue& value, int q, QuestionEntry* entry) {
    std::string key = questionKey(q, "reveal_text");
    entry->revealText = valueText(value, key, kPackageField, tr("the reveal text"));
    AtCell at(this, value.cell);
    if (revealKnown_ && d_.revealMode != REVEAL_TEXT && d_.revealMode != REVEAL_TEXT_AND_PICTURE &&
        d_.revealMode != REVEAL_ALL_TEXTS) {
        warning(value.line(), key,
                tr("reveal = {value} keeps no reveal texts: this one is not stored",
                   {{"value", inQuotes(revealName(d_.revealMode))}}),
                tr("set reveal = \"text\", \"text+picture\" or \"all-texts\", or remove it"));
        entry->revealText.clear();
    } else if (showsPictures()) {
        warnIfCutOff(value.line(), key, entry->revealText, revealTextBox(), tr("the reveal text"));
    }
}

void DescriptionChecker::readAnswers(const toml::table& table, int q, QuestionEntry* entry) {
    std::string key = questionKey(q, "answers");
    const toml::node* node = table.get("answers");
    std::string example = d_.answersPerQuestion == 2 ? tr("answers = [\"first\", \"second\"]")
                                                     : tr("answers = [\"the answer\"]");

    if (node == nullptr) {
        error(lineOf(table), key, tr("missing: question {q} has no expected answer", {{"q", q}}),
              tr("add {example}", {{"example", example}}));
        return;
    }
    const auto* answers = node->as_array();
    if (answers == nullptr) {
        error(lineOf(*node), key,
              tr("must be a list of texts, not {type}", {{"type", typeName(*node)}}),
              tr("write {example} (square brackets even for one answer)", {{"example", example}}));
        return;
    }
    if (answerCountKnown_ && answers->size() != static_cast<size_t>(d_.answersPerQuestion)) {
        error(lineOf(*node), key,
              trn("{n} answer given, but answers_per_question = {count}",
                  "{n} answers given, but answers_per_question = {count}", answers->size(),
                  {{"count", d_.answersPerQuestion}}),
              tr("give exactly {count}: {example}",
                 {{"count", d_.answersPerQuestion}, {"example", example}}));
    }
    std::string* targets[] = {&entry->answer1, &entry->answer2};
    for (size_t i = 0; i < answers->size() && i < 2; ++i) {
        *targets[i] = text(*answers->get(i), key, kPackageField | kExpectedAnswer | kAnswerForms,
                           tr("answer {n}", {{"n", i + 1}}));
    }
    if (d_.answersPerQuestion != 2) {
        entry->answer2.clear();
    }
}

// ---- questions from a CSV file ---------------------------------------------------

void DescriptionChecker::readQuestionFile(const toml::node& node) {
    const auto* s = node.as_string();
    if (s == nullptr || s->get().empty()) {
        error(
            lineOf(node), "questions",
            s ? tr("is empty")
              : tr("must be a file path in double quotes, not {type}", {{"type", typeName(node)}}),
            tr("give the CSV file's path relative to the description, for example "
               "questions = \"questions.csv\""));
        return;
    }
    fs::path given = slashedPath(s->get());
    fs::path path = given.is_absolute() ? given : d_.folder / given;
    std::error_code ec;
    uint64_t size = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
    if (!ec && size > kMaxQuestionFileBytes) {
        error(lineOf(node), "questions",
              tr("{file} is {size}; a questions file may be at most {most}",
                 {{"file", displayPath(path)},
                  {"size", formatSize(size)},
                  {"most", formatSize(kMaxQuestionFileBytes)}}),
              tr("give the CSV file of this quiz's questions (at most 90 rows)"));

        return;
    }
    d_.questionsFile = path;
    std::vector<uint8_t> bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const FileError& e) {
        error(lineOf(node), "questions", e.what(),
              tr("the path is relative to the description's folder ({folder})",
                 {{"folder", displayPath(d_.folder.empty() ? fs::path(".") : d_.folder)}}));
        return;
    }
    QuestionTable table;
    std::string file = displayPath(path);
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!readQuestionTable(text, file, &table, &diagnostics_)) {
        return;
    }
    setSource({file, 0});
    readQuestionRows(table);
    setSource({});
}

void DescriptionChecker::readQuestionRows(const QuestionTable& table) {
    if (answerCountKnown_ && d_.answersPerQuestion == 2 && !table.hasColumn[kAnswer2Column]) {
        error(table.headerLine, "",
              tr("answers_per_question = 2, but the header row names no 'answer2' column"),
              tr("add a column answer2 for the second answers"));
    }
    if (table.rows.empty()) {
        warning(table.headerLine, "",
                tr("the file has no question rows, only its header row: the quiz is empty"),
                tr("add one row per question below the header row"));
    }
    for (size_t i = 0; i < table.rows.size(); ++i) {
        int q = static_cast<int>(i) + 1;
        if (q == kMaxQuestions + 1) {
            error(table.rows[i].line, questionKey(q, ""),
                  tr("{count} questions; a quiz holds at most 90", {{"count", table.rows.size()}}),
                  trn("remove {n} row or make a second quiz",
                      "remove {n} rows or make a second quiz", table.rows.size() - kMaxQuestions));
        }
        readRowQuestion(table.rows[i], q);
    }
}

void DescriptionChecker::readRowQuestion(const QuestionRow& row, int q) {
    QuestionEntry entry;
    entry.line = row.line;
    entry.answer1 = cellAnswer(row, kAnswerColumn, q, tr("answer {n}", {{"n", 1}}));
    const std::optional<CsvField>& second = row.cells[kAnswer2Column];
    if (d_.answersPerQuestion == 2) {
        entry.answer2 = cellAnswer(row, kAnswer2Column, q, tr("answer {n}", {{"n", 2}}));
    } else if (second && !second->text.empty()) {
        AtCell at(this, &*second);
        error(second->line, questionKey(q, "answer2"),
              tr("a second answer is given, but answers_per_question = {count}",
                 {{"count", d_.answersPerQuestion}}),
              tr("leave the answer2 column empty, or set answers_per_question = 2"));
    }
    QuestionValues values;
    values.line = row.line;
    auto valueOf = [&](int column) -> std::optional<QuestionValue> {
        const std::optional<CsvField>& cell = row.cells[static_cast<size_t>(column)];
        return cell && !cell->text.empty()
                   ? std::optional<QuestionValue>(QuestionValue{nullptr, &*cell})
                   : std::nullopt;
    };
    values.text = valueOf(kTextColumn);
    values.revealText = valueOf(kRevealTextColumn);
    values.picture = valueOf(kPictureColumn);
    values.revealPicture = valueOf(kRevealPictureColumn);
    values.clip = valueOf(kClipColumn);
    readQuestion(values, q, std::move(entry));
}

// An expected answer from its cell; a row that ends before the cell gives an empty one.
std::string DescriptionChecker::cellAnswer(const QuestionRow& row, int column, int q,
                                           const std::string& what) {
    const std::optional<CsvField>& cell = row.cells[static_cast<size_t>(column)];
    std::string key = questionKey(q, questionColumnName(column));
    AtCell at(this, cell ? &*cell : nullptr);
    return convertText(cell ? cell->text : "", cell ? cell->line : row.line, key,
                       kPackageField | kExpectedAnswer | kAnswerForms, what);
}
