#include "tools/quizpack/description.h"

#include <algorithm>
#include <cstdio>

#include "content/lzw.h"
#include "content/package.h"
#include "tools/quizpack/description_screen.h"
#include "tools/quizpack/description_syntax.h"
#include "tools/quizpack/description_values.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/input_limits.h"
#include "tools/quizpack/media_check.h"
#include "tools/quizpack/question_table.h"
#include "tools/quizpack/text_fit.h"

namespace fs = std::filesystem;

namespace {

const KeyNames kKindNames = {"text", "picture", "audio", "video"};
const KeyNames kRevealNames = {"none", "picture", "text", "text+picture", "all-texts"};

const KeyNames kRootKeys = {"title",    "creator", "explanation", "kind",  "answers_per_question",
                            "labels",   "reveal",  "background",  "codes", "question",
                            "questions"};
const KeyNames kQuestionKeys = {"answers", "text",           "reveal_text",
                                "picture", "reveal_picture", "clip"};

// Reads a description into the quiz it describes, key by key, then checks what the keys
// say together and the media files they name.
class Checker : public ValueReader {
  public:
    Checker(std::string file, fs::path folder, PictureDecoding decoding)
        : ValueReader(file), decoding_(decoding) {
        d_.file = std::move(file);
        d_.folder = std::move(folder);
    }

    CheckResult run(std::string_view text) {
        if (std::optional<Diagnostic> problem = findEncodingProblem(text, d_.file)) {
            diagnostics_.push_back(*problem);
            return finish();
        }
        std::string parserText;
        if (auto problem = screenDescription(text, &parserText)) {
            error(problem->line, "", problem->message, problem->hint);
            return finish();
        }
        toml::table root;
        try {
            root = toml::parse(parserText, std::string_view(d_.file));
        } catch (const toml::parse_error& e) {
            diagnostics_.push_back(describeSyntaxError(e, parserText, d_.file));
            return finish();
        }
        readRoot(root);
        readQuestions(root);
        crossCheck(root);
        warnMissingPieces(root);
        if (!hasErrors(diagnostics_)) {
            checkPackageSize(root);
        }
        checkMediaFiles(&d_, decoding_, &diagnostics_);
        return finish();
    }

  private:
    Description d_;
    PictureDecoding decoding_;
    bool kindKnown_ = false;
    bool revealKnown_ = false;
    bool answerCountKnown_ = false;
    int codesLine_ = 0;
    std::vector<int> codeLines_;
    size_t codesGiven_ = 0;
    int labelsLine_ = 0;
    struct Place {
        Source source;
        int line = 0;
        std::string key;
    };
    Place firstQuestionText_; // where the first question text was written
    size_t questionTexts_ = 0;

    CheckResult finish() {
        // In file order, as an author reads them; problems without a line come first, those
        // of the questions' CSV file after the description's.
        std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                         [this](const Diagnostic& a, const Diagnostic& b) {
                             bool aCsv = a.file != d_.file, bCsv = b.file != d_.file;
                             return aCsv != bCsv ? bCsv : a.line < b.line;
                         });
        CheckResult result;
        result.description = std::move(d_);
        result.diagnostics = std::move(diagnostics_);
        return result;
    }

    // ---- the root table --------------------------------------------------------------

    void readRoot(const toml::table& root) {
        warnUnknownKeys(root, kRootKeys, "", "at the top of the description");
        d_.title = shownText(root, "title", titleBox(), "the title");
        d_.creator = shownText(root, "creator", creatorBox(), "the creator");
        d_.explanation = shownText(root, "explanation", explanationBox(), "the explanation");
        readKind(root);
        readAnswerCount(root);
        readReveal(root);
        readBackground(root);
        readLabels(root);
        readCodes(root);
    }

    // A text the player shows in a box too small for it, read last without an error.
    void warnIfCutOff(int line, const std::string& key, const std::string& text, const TextBox& box,
                      const std::string& what) {
        if (!lastTextOk()) {
            return;
        }
        if (std::optional<FitProblem> problem = textFitProblem(text, box)) {
            warning(line, key, what + " " + problem->message, problem->hint);
        }
    }

    // An optional text of the header.
    std::string shownText(const toml::table& root, const char* name, const TextBox& box,
                          const std::string& what) {
        const toml::node* node = root.get(name);
        if (node == nullptr) {
            return "";
        }
        std::string shown = text(*node, name, kPackageField, what);
        warnIfCutOff(lineOf(*node), name, shown, box, what);
        return shown;
    }

    void readKind(const toml::table& root) {
        if (root.get("kind") == nullptr) {
            error(0, "kind", "missing: the description must say what kind of quiz it is",
                  "add a line kind = \"text\" (or \"picture\", \"audio\", \"video\")");
            return;
        }
        kindKnown_ = readName(root, "kind", kKindNames, &d_.quizType);
    }

    void readReveal(const toml::table& root) {
        if (root.get("reveal") == nullptr) {
            d_.revealMode = REVEAL_NOTHING;
            revealKnown_ = true;
            return;
        }
        revealKnown_ = readName(root, "reveal", kRevealNames, &d_.revealMode);
    }

    void readAnswerCount(const toml::table& root) {
        const toml::node* node = root.get("answers_per_question");
        if (node == nullptr) {
            d_.answersPerQuestion = 1;
            answerCountKnown_ = true;
            return;
        }
        const auto* n = node->as_integer();
        if (n == nullptr || (n->get() != 1 && n->get() != 2)) {
            error(lineOf(*node), "answers_per_question",
                  n ? "is " + std::to_string(n->get()) + "; a question has 1 or 2 answer fields"
                    : std::string("must be the number 1 or 2, not ") + typeName(*node),
                  "write answers_per_question = 1 or answers_per_question = 2 (no quotes)");
            return;
        }
        d_.answersPerQuestion = static_cast<int32_t>(n->get());
        answerCountKnown_ = true;
    }

    void readBackground(const toml::table& root) {
        const toml::node* node = root.get("background");
        if (node == nullptr) {
            d_.background = Rgb{255, 255, 255};
            return;
        }
        const auto* s = node->as_string();
        auto hex = [](char c) {
            return c >= '0' && c <= '9'   ? c - '0'
                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                          : -1;
        };
        bool ok = s != nullptr && s->get().size() == 7 && s->get()[0] == '#';
        for (size_t i = 1; ok && i < 7; ++i) {
            ok = hex(s->get()[i]) >= 0;
        }
        if (!ok) {
            error(lineOf(*node), "background",
                  s ? "is " + inQuotes(s->get()) + ", not a colour of the form \"#RRGGBB\""
                    : std::string("must be a text \"#RRGGBB\", not ") + typeName(*node),
                  "give red, green and blue as two hexadecimal digits each, "
                  "for example background = \"#C0D8FF\"");
            return;
        }
        const std::string& v = s->get();
        d_.background.red = static_cast<uint8_t>(hex(v[1]) * 16 + hex(v[2]));
        d_.background.green = static_cast<uint8_t>(hex(v[3]) * 16 + hex(v[4]));
        d_.background.blue = static_cast<uint8_t>(hex(v[5]) * 16 + hex(v[6]));
    }

    void readLabels(const toml::table& root) {
        const toml::node* node = root.get("labels");
        if (node == nullptr) {
            return;
        }
        labelsLine_ = lineOf(*node);
        const auto* labels = node->as_array();
        if (labels == nullptr || labels->size() > 2) {
            error(lineOf(*node), "labels",
                  labels ? "has " + std::to_string(labels->size()) +
                               " entries; there are two answer labels"
                         : std::string("must be a list of texts, not ") + typeName(*node),
                  "write labels = [\"first answer\", \"second answer\"]");
            return;
        }
        std::string* targets[] = {&d_.answerLabel1, &d_.answerLabel2};
        bool shown = answerCountKnown_ && d_.answersPerQuestion == 2 && kindKnown_ &&
                     showsColumnLabels(d_.quizType);
        for (size_t i = 0; i < labels->size(); ++i) {
            std::string key = "labels[" + std::to_string(i + 1) + "]";
            std::string what = "answer label " + std::to_string(i + 1);
            *targets[i] = text(*labels->get(i), key, kPackageField, what);
            if (shown) {
                warnIfCutOff(lineOf(*labels->get(i)), key, *targets[i], columnLabelBox(), what);
            }
        }
    }

    static std::string codeKey(size_t i) { return "codes[" + std::to_string(i + 1) + "]"; }
    static std::string codeName(size_t i) {
        return "the code for " + std::to_string(i + 1) + " solved";
    }

    void readCodes(const toml::table& root) {
        const toml::node* node = root.get("codes");
        if (node == nullptr) {
            return;
        }
        codesLine_ = lineOf(*node);
        const auto* codes = node->as_array();
        if (codes == nullptr) {
            error(lineOf(*node), "codes",
                  std::string("must be a list of texts, not ") + typeName(*node),
                  "write codes = [\"code for 1 solved\", \"code for 2 solved\", ...]");
            return;
        }
        codesGiven_ = codes->size();
        for (size_t i = 0; i < codes->size(); ++i) {
            d_.codes.push_back(text(*codes->get(i), codeKey(i), kCodeLine, codeName(i)));
            codeLines_.push_back(lastTextOk() ? lineOf(*codes->get(i)) : 0); // 0: not measured
        }
    }

    // ---- questions ---------------------------------------------------------------------

    // A value of one question as the author wrote it: in a [[question]] table, or in a cell
    // of the questions' CSV file.
    struct QuestionValue {
        const toml::node* node = nullptr;
        const CsvField* cell = nullptr;
        int line() const { return node ? lineOf(*node) : cell->line; }
    };
    // The values of one question besides its answers; absent when not given (an empty cell).
    struct QuestionValues {
        int line = 0; // its [[question]] header, or its CSV row
        std::optional<QuestionValue> text, revealText, picture, revealPicture, clip;
    };

    // Problems found while a CSV cell is read name its column too.
    class AtCell {
      public:
        AtCell(Checker* checker, const CsvField* cell)
            : checker_(checker), saved_(checker->source()) {
            checker->setSource({saved_.file, cell ? cell->column : 0});
        }
        ~AtCell() { checker_->setSource(saved_); }
        AtCell(const AtCell&) = delete;
        AtCell& operator=(const AtCell&) = delete;

      private:
        Checker* checker_;
        Source saved_;
    };

    std::string valueText(const QuestionValue& value, const std::string& key, unsigned rules,
                          const std::string& what) {
        if (value.node != nullptr) {
            return text(*value.node, key, rules, what);
        }
        AtCell at(this, value.cell);
        return convertText(value.cell->text, value.cell->line, key, rules, what);
    }

    void readQuestions(const toml::table& root) {
        const toml::node* node = root.get("question");
        if (const toml::node* file = root.get("questions")) {
            if (node != nullptr) {
                error(lineOf(*file), "questions",
                      "the description has [[question]] tables and a questions file both; it "
                      "takes its questions from one of them",
                      "remove the [[question]] tables or the questions = line");
                return;
            }
            readQuestionFile(*file);
            return;
        }
        const auto* questions = node ? node->as_array() : nullptr;
        if (node == nullptr || (questions != nullptr && questions->empty())) {
            warning(node ? lineOf(*node) : 0, "question",
                    "the description has no [[question]]: the quiz is empty",
                    "add questions as [[question]] tables, each with answers = [\"...\"], or "
                    "name a CSV file of them with questions = \"questions.csv\"");
            return;
        }
        if (questions == nullptr || !questions->is_array_of_tables()) {
            error(lineOf(*node), "question",
                  "must be a list of tables, written [[question]] (two brackets), not " +
                      std::string(typeName(*node)),
                  "begin each question with a line [[question]]");
            return;
        }
        for (size_t i = 0; i < questions->size(); ++i) {
            const toml::table& table = *questions->get(i)->as_table();
            int q = static_cast<int>(i) + 1;
            if (q == kMaxQuestions + 1) {
                error(lineOf(table), questionKey(q, ""),
                      std::to_string(questions->size()) + " questions; a quiz holds at most 90",
                      "remove " + std::to_string(questions->size() - kMaxQuestions) +
                          " questions or make a second quiz");
            }
            readTableQuestion(table, q);
        }
    }

    void readTableQuestion(const toml::table& table, int q) {
        QuestionEntry entry;
        entry.line = lineOf(table);
        warnUnknownKeys(table, kQuestionKeys, questionKey(q, "") + ".", "in a [[question]]");
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

    void readQuestion(const QuestionValues& values, int q, QuestionEntry entry) {
        if (values.text) {
            std::string key = questionKey(q, "text");
            entry.text = valueText(*values.text, key, kPackageField, "the question text");
            if (!entry.text.empty() && questionTexts_++ == 0) {
                int column = values.text->cell ? values.text->cell->column : 0;
                firstQuestionText_ = {{source().file, column}, values.text->line(), key};
            }
            if (kindKnown_ && d_.quizType == QUIZ_TEXT) {
                AtCell at(this, values.text->cell);
                warnIfCutOff(values.text->line(), key, entry.text, questionTextBox(),
                             "the question text");
            }
        }
        if (values.revealText) {
            readRevealText(*values.revealText, q, &entry);
        }
        readMedia(values, q);
        d_.questions.push_back(std::move(entry));
    }

    void readRevealText(const QuestionValue& value, int q, QuestionEntry* entry) {
        std::string key = questionKey(q, "reveal_text");
        entry->revealText = valueText(value, key, kPackageField, "the reveal text");
        AtCell at(this, value.cell);
        if (revealKnown_ && d_.revealMode != REVEAL_TEXT &&
            d_.revealMode != REVEAL_TEXT_AND_PICTURE && d_.revealMode != REVEAL_ALL_TEXTS) {
            warning(value.line(), key,
                    std::string("reveal = ") + inQuotes(revealName(d_.revealMode)) +
                        " keeps no reveal texts: this one is not stored",
                    "set reveal = \"text\", \"text+picture\" or \"all-texts\", or remove it");
            entry->revealText.clear();
        } else if (showsPictures()) {
            warnIfCutOff(value.line(), key, entry->revealText, revealTextBox(), "the reveal text");
        }
    }

    void readAnswers(const toml::table& table, int q, QuestionEntry* entry) {
        std::string key = questionKey(q, "answers");
        const toml::node* node = table.get("answers");
        std::string example = d_.answersPerQuestion == 2 ? "answers = [\"first\", \"second\"]"
                                                         : "answers = [\"the answer\"]";
        if (node == nullptr) {
            error(lineOf(table), key,
                  "missing: question " + std::to_string(q) + " has no expected answer",
                  "add " + example);
            return;
        }
        const auto* answers = node->as_array();
        if (answers == nullptr) {
            error(lineOf(*node), key,
                  std::string("must be a list of texts, not ") + typeName(*node),
                  "write " + example + " (square brackets even for one answer)");
            return;
        }
        if (answerCountKnown_ && answers->size() != static_cast<size_t>(d_.answersPerQuestion)) {
            error(lineOf(*node), key,
                  std::to_string(answers->size()) + " answer" + (answers->size() == 1 ? "" : "s") +
                      " given, but answers_per_question = " + std::to_string(d_.answersPerQuestion),
                  "give exactly " + std::to_string(d_.answersPerQuestion) + ": " + example);
        }
        std::string* targets[] = {&entry->answer1, &entry->answer2};
        for (size_t i = 0; i < answers->size() && i < 2; ++i) {
            *targets[i] = text(*answers->get(i), key, kPackageField | kExpectedAnswer,
                               "answer " + std::to_string(i + 1));
        }
        if (d_.answersPerQuestion != 2) {
            entry->answer2.clear();
        }
    }

    // ---- questions from a CSV file ---------------------------------------------------

    // A spreadsheet of 90 questions is a few hundred kilobytes at most.
    static constexpr uint64_t kMaxQuestionFileBytes = 4u << 20;

    void readQuestionFile(const toml::node& node) {
        const auto* s = node.as_string();
        if (s == nullptr || s->get().empty()) {
            error(lineOf(node), "questions",
                  s ? std::string("is empty")
                    : std::string("must be a file path in double quotes, not ") + typeName(node),
                  "give the CSV file's path relative to the description, for example "
                  "questions = \"questions.csv\"");
            return;
        }
        fs::path given = fs::u8path(s->get());
        fs::path path = given.is_absolute() ? given : d_.folder / given;
        std::error_code ec;
        uint64_t size = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
        if (!ec && size > kMaxQuestionFileBytes) {
            error(lineOf(node), "questions",
                  displayPath(path) + " is " + formatSize(size) +
                      "; a questions file may be at most " + formatSize(kMaxQuestionFileBytes),
                  "give the CSV file of this quiz's questions (at most 90 rows)");
            return;
        }
        d_.questionsFile = path;
        std::vector<uint8_t> bytes;
        try {
            bytes = readWholeFile(path);
        } catch (const FileError& e) {
            error(lineOf(node), "questions", e.what(),
                  "the path is relative to the description's folder (" +
                      displayPath(d_.folder.empty() ? fs::path(".") : d_.folder) + ")");
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

    void readQuestionRows(const QuestionTable& table) {
        if (answerCountKnown_ && d_.answersPerQuestion == 2 && !table.hasColumn[kAnswer2Column]) {
            error(table.headerLine, "",
                  "answers_per_question = 2, but the header row names no 'answer2' column",
                  "add a column answer2 for the second answers");
        }
        if (table.rows.empty()) {
            warning(table.headerLine, "",
                    "the file has no question rows, only its header row: the quiz is empty",
                    "add one row per question below the header row");
        }
        for (size_t i = 0; i < table.rows.size(); ++i) {
            int q = static_cast<int>(i) + 1;
            if (q == kMaxQuestions + 1) {
                error(table.rows[i].line, questionKey(q, ""),
                      std::to_string(table.rows.size()) + " questions; a quiz holds at most 90",
                      "remove " + std::to_string(table.rows.size() - kMaxQuestions) +
                          " rows or make a second quiz");
            }
            readRowQuestion(table.rows[i], q);
        }
    }

    void readRowQuestion(const QuestionRow& row, int q) {
        QuestionEntry entry;
        entry.line = row.line;
        entry.answer1 = cellAnswer(row, kAnswerColumn, q, "answer 1");
        const std::optional<CsvField>& second = row.cells[kAnswer2Column];
        if (d_.answersPerQuestion == 2) {
            entry.answer2 = cellAnswer(row, kAnswer2Column, q, "answer 2");
        } else if (second && !second->text.empty()) {
            AtCell at(this, &*second);
            error(second->line, questionKey(q, "answer2"),
                  "a second answer is given, but answers_per_question = " +
                      std::to_string(d_.answersPerQuestion),
                  "leave the answer2 column empty, or set answers_per_question = 2");
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
    std::string cellAnswer(const QuestionRow& row, int column, int q, const std::string& what) {
        const std::optional<CsvField>& cell = row.cells[static_cast<size_t>(column)];
        std::string key = questionKey(q, questionColumnName(column));
        AtCell at(this, cell ? &*cell : nullptr);
        return convertText(cell ? cell->text : "", cell ? cell->line : row.line, key,
                           kPackageField | kExpectedAnswer, what);
    }

    // ---- media -----------------------------------------------------------------------

    // Which "IMG" resource a media key becomes in this quiz, or why it is never shown.
    void readMedia(const QuestionValues& values, int q) {
        readQuestionPicture(values, q);
        readRevealPicture(values, q);
        readClip(values, q);
    }

    bool showsPictures() const { return kindKnown_ && d_.quizType == QUIZ_PICTURE; }
    std::string kindText() const { return kindKnown_ ? inQuotes(quizKindName(d_.quizType)) : ""; }

    void readQuestionPicture(const QuestionValues& values, int q) {
        bool picture = showsPictures();
        const std::optional<QuestionValue>& pictureValue = values.picture;
        if (pictureValue && kindKnown_ && !picture) {
            AtCell at(this, pictureValue->cell);
            warning(pictureValue->line(), questionKey(q, "picture"),
                    "a quiz of kind = " + kindText() +
                        " never shows question pictures; "
                        "it is not stored",
                    "remove it, or set kind = \"picture\"");
        } else if (pictureValue) {
            addMedia(*pictureValue, q, "picture", MediaRole::QuestionPicture,
                     kQuestionMediaBase + q);
        } else if (picture) {
            warning(values.line, questionKey(q, "picture"),
                    "question " + std::to_string(q) +
                        " has no picture: the player shows an empty frame",
                    "add picture = \"media/q" + twoDigits(q) + ".jpg\"");
        }
    }

    void readRevealPicture(const QuestionValues& values, int q) {
        bool picture = showsPictures();
        bool revealsPictures =
            picture && revealKnown_ &&
            (d_.revealMode == REVEAL_PICTURE || d_.revealMode == REVEAL_TEXT_AND_PICTURE);
        const std::optional<QuestionValue>& revealValue = values.revealPicture;
        if (revealValue && kindKnown_ && revealKnown_ && !revealsPictures) {
            AtCell at(this, revealValue->cell);
            warning(revealValue->line(), questionKey(q, "reveal_picture"),
                    picture ? "reveal = " + inQuotes(revealName(d_.revealMode)) +
                                  " never shows reveal pictures; it is not stored"
                            : "a quiz of kind = " + kindText() +
                                  " never shows reveal pictures; it is not stored",
                    picture ? "set reveal = \"picture\" or \"text+picture\", or remove it"
                            : "remove it; reveal pictures need kind = \"picture\"");
        } else if (revealValue) {
            addMedia(*revealValue, q, "reveal_picture", MediaRole::RevealPicture,
                     kRevealPictureBase + q);
        } else if (revealsPictures) {
            warning(values.line, questionKey(q, "reveal_picture"),
                    "question " + std::to_string(q) +
                        " has no reveal picture: solving it keeps the question picture",
                    "add reveal_picture = \"media/r" + twoDigits(q) + ".jpg\"");
        }
    }

    void readClip(const QuestionValues& values, int q) {
        const std::optional<QuestionValue>& clipValue = values.clip;
        bool clips = kindKnown_ && (d_.quizType == QUIZ_AUDIO || d_.quizType == QUIZ_VIDEO);
        if (clipValue && kindKnown_ && !clips) {
            AtCell at(this, clipValue->cell);
            warning(clipValue->line(), questionKey(q, "clip"),
                    "a quiz of kind = " + kindText() + " never plays clips; it is not stored",
                    "remove it, or set kind = \"audio\" (MP3) or \"video\" (AVI)");
        } else if (clipValue && clips) {
            addMedia(*clipValue, q, "clip",
                     d_.quizType == QUIZ_VIDEO ? MediaRole::VideoClip : MediaRole::AudioClip,
                     kQuestionMediaBase + q);
        } else if (clips) {
            bool video = d_.quizType == QUIZ_VIDEO;
            error(values.line, questionKey(q, "clip"),
                  "question " + std::to_string(q) + " has no clip: the player would show \"" +
                      (video ? "Impossible de localiser le fichier vid\u00e9o."
                             : "Impossible de localiser le fichier audio.") +
                      "\"" + (video ? " at every start" : " when play is pressed"),
                  std::string("add clip = \"media/q") + twoDigits(q) +
                      (video ? ".avi\"" : ".mp3\""));
        }
    }

    static std::string twoDigits(int q) {
        char s[16];
        snprintf(s, sizeof s, "%02d", q);
        return s;
    }

    void addMedia(const QuestionValue& value, int q, const char* name, MediaRole role,
                  uint32_t resourceId) {
        std::string key = questionKey(q, name);
        const std::string* given = value.cell ? &value.cell->text : nullptr;
        if (value.node != nullptr) {
            const auto* s = value.node->as_string();
            if (s == nullptr || s->get().empty()) {
                error(lineOf(*value.node), key,
                      s ? std::string("is empty")
                        : std::string("must be a file path in double quotes, not ") +
                              typeName(*value.node),
                      "give the file's path relative to the description, for example "
                      "\"media/q01.jpg\"");
                return;
            }
            given = &s->get();
        }
        MediaFile media;
        media.role = role;
        media.question = q;
        media.resourceId = resourceId;
        media.given = *given;
        fs::path path = fs::u8path(*given);
        media.path = path.is_absolute() ? path : d_.folder / path;
        media.key = key;
        media.line = value.line();
        media.file = source().file;
        media.column = value.cell ? value.cell->column : 0;
        d_.media.push_back(std::move(media));
    }

    // ---- checks across keys ----------------------------------------------------------

    void crossCheck(const toml::table& root) {
        size_t n = d_.questions.size();
        if (codesGiven_ > n) {
            warning(codesLine_, "codes",
                    std::to_string(codesGiven_) + " codes for " + std::to_string(n) +
                        " questions: codes " + std::to_string(n + 1) + " to " +
                        std::to_string(codesGiven_) + " are never shown and are not stored",
                    "give at most one code per question");
            d_.codes.resize(n);
        }
        for (size_t i = 0; i < d_.codes.size(); ++i) {
            std::optional<FitProblem> problem = textFitProblem(d_.codes[i], codeBox());
            if (codeLines_[i] > 0 && problem) {
                warning(codeLines_[i], codeKey(i), codeName(i) + " " + problem->message,
                        problem->hint);
            }
        }
        if (!kindKnown_ || !answerCountKnown_ || !revealKnown_) {
            return;
        }
        if (d_.answersPerQuestion == 1 && (!d_.answerLabel1.empty() || !d_.answerLabel2.empty())) {
            warning(labelsLine_, "labels",
                    "the answer labels are shown only with answers_per_question = 2; they are "
                    "stored but never shown",
                    "remove labels, or ask for two answers per question");
        }
        if (d_.quizType != QUIZ_PICTURE && d_.revealMode != REVEAL_NOTHING) {
            const toml::node* node = root.get("reveal");
            warning(node ? lineOf(*node) : 0, "reveal",
                    "a quiz of kind = " + inQuotes(quizKindName(d_.quizType)) +
                        " reveals nothing: the player has reveal texts and pictures only in "
                        "picture quizzes",
                    "set reveal = \"none\", or kind = \"picture\"");
        }
        if (d_.quizType != QUIZ_TEXT && questionTexts_ > 0) {
            size_t withText = questionTexts_;
            setSource(firstQuestionText_.source);
            warning(firstQuestionText_.line, firstQuestionText_.key,
                    "question texts are shown only in text quizzes; " + std::to_string(withText) +
                        " question" + (withText == 1 ? " has" : "s have") +
                        " one, stored but never shown in this " + quizKindName(d_.quizType) +
                        " quiz",
                    "remove the text keys, or set kind = \"text\"");
            setSource({});
        }
    }

    // What the player shows empty, with no error: no title, no codes or too few.
    void warnMissingPieces(const toml::table& root) {
        const toml::node* title = root.get("title");
        if (title == nullptr || (title->as_string() && title->as_string()->get().empty())) {
            const toml::node* node = title;
            warning(node ? lineOf(*node) : 0, "title",
                    std::string(node ? "is empty" : "missing") +
                        ": the header shows no title and the window no caption",
                    "add a line title = \"...\", the quiz's name");
        }
        size_t n = d_.questions.size();
        if (n > 0 && codesGiven_ == 0) {
            warning(codesLine_, "codes",
                    std::string(codesLine_ > 0 ? "is empty" : "missing") +
                        ": the code box never shows a code, whatever the score",
                    "add codes = [\"code for 1 solved\", \"code for 2 solved\", ...], one per "
                    "question");
        } else if (codesGiven_ > 0 && codesGiven_ < n) {
            warning(codesLine_, "codes",
                    std::to_string(codesGiven_) + " codes for " + std::to_string(n) +
                        " questions: the code box goes blank once more than " +
                        std::to_string(codesGiven_) + " questions are solved",
                    "add " + std::to_string(n - codesGiven_) + " more, one code per question");
        }
    }

    // The packer takes at most 65535 bytes; a quiz with 90 long questions can exceed it.
    void checkPackageSize(const toml::table& root) {
        QuizPtr quiz = makeQuiz(d_);
        size_t size = layOutPackage(*quiz).size();
        if (size > static_cast<size_t>(kLzwMaxInput)) {
            const toml::node* node = root.get("question");
            node = node ? node : root.get("questions");
            error(node ? lineOf(*node) : 0, "question",
                  "the quiz package would be " + std::to_string(size) +
                      " bytes; it can be at most " + std::to_string(kLzwMaxInput),
                  "shorten the texts by " + std::to_string(size - kLzwMaxInput) +
                      " bytes in all, or make two quizzes");
        }
    }
};

std::string readDescriptionText(const fs::path& file, std::vector<Diagnostic>* diagnostics) {
    std::error_code ec;
    if (auto tooLarge = findDescriptionSizeProblem(fs::file_size(file, ec)); !ec && tooLarge) {
        diagnostics->push_back(Diagnostic{displayPath(file), 0, "", Severity::Error,
                                          tooLarge->message, tooLarge->hint});
        return "";
    }
    try {
        std::vector<uint8_t> bytes = readWholeFile(file);
        return std::string(bytes.begin(), bytes.end());
    } catch (const FileError& e) {
        diagnostics->push_back(Diagnostic{displayPath(file), 0, "", Severity::Error,
                                          "cannot read the description: " + std::string(e.what()),
                                          "give the path of a quiz description (QUIZ.toml)"});
        return "";
    }
}

} // namespace

CheckResult checkDescriptionText(std::string_view text, const std::string& displayName,
                                 const fs::path& folder, PictureDecoding decoding) {
    return Checker(displayName, folder, decoding).run(text);
}

CheckResult checkDescriptionFile(const fs::path& file, PictureDecoding decoding) {
    std::vector<Diagnostic> diagnostics;
    std::string text = readDescriptionText(file, &diagnostics);
    if (!diagnostics.empty()) {
        CheckResult result;
        result.description.file = displayPath(file);
        result.diagnostics = std::move(diagnostics);
        return result;
    }
    return checkDescriptionText(text, displayPath(file), file.parent_path(), decoding);
}

QuizPtr makeQuiz(const Description& d) {
    QuizPtr quiz = makeEmptyQuiz();
    quiz->quizType = d.quizType;
    copyText(quiz->title, d.title.c_str());
    copyText(quiz->creator, d.creator.c_str());
    copyText(quiz->explanation, d.explanation.c_str());
    copyText(quiz->answerLabel1, d.answerLabel1.c_str());
    copyText(quiz->answerLabel2, d.answerLabel2.c_str());
    quiz->answersPerQuestion = d.answersPerQuestion;
    quiz->revealMode = d.revealMode;
    quiz->backgroundColour = d.background.red | (d.background.green << 8) |
                             (static_cast<uint32_t>(d.background.blue) << 16);
    int count = 0;
    for (const QuestionEntry& q : d.questions) {
        if (count == kMaxQuestions) {
            break; // only a description with errors gets here
        }
        QuestionNode* node =
            appendQuestion(quiz.get(), q.answer1.c_str(), q.answer2.c_str(), q.text.c_str());
        if (node == nullptr) {
            throw std::bad_alloc();
        }
        copyText(node->revealText, q.revealText.c_str());
        ++count;
    }
    quiz->questionCount = count;
    for (size_t i = 0; i < d.codes.size() && i < static_cast<size_t>(count); ++i) {
        copyText(quiz->codes[i], d.codes[i].c_str());
    }
    return quiz;
}

const char* quizKindName(int32_t quizType) {
    return quizType >= 0 && quizType < 4 ? kKindNames[static_cast<size_t>(quizType)] : nullptr;
}

const char* revealName(int32_t revealMode) {
    return revealMode >= 0 && revealMode < 5 ? kRevealNames[static_cast<size_t>(revealMode)]
                                             : nullptr;
}

std::string colourName(Rgb colour) {
    char s[8];
    snprintf(s, sizeof s, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
    return s;
}
