#include "quizpack/description/description.h"

#include <algorithm>
#include <cstdio>

#include "content/grading_extras.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/description/description_checker.h"
#include "quizpack/description/description_screen.h"
#include "quizpack/description/description_syntax.h"
#include "quizpack/common/closest_name.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/description/media_check.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

const KeyNames kKindNames = {"text", "picture", "audio", "video"};
const KeyNames kRevealNames = {"none", "picture", "text", "text+picture", "all-texts"};

const KeyNames kRootKeys = {"title",   "creator",  "explanation", "kind",  "answers_per_question",
                            "labels",  "reveal",   "background",  "codes", "link",
                            "grading", "question", "questions"};

const KeyNames kGradingKeys = {"accents", "case", "quotes"};

// The description that cannot be read, and the file the author probably meant: the same
// name in another case, or with the .txt that Notepad adds and Windows hides.
Diagnostic cannotRead(const fs::path& file, const std::string& why) {
    Diagnostic d{displayPath(file),
                 0,
                 "",
                 Severity::Error,
                 tr("cannot read the description: {reason}", {{"reason", why}}),
                 tr("give the path of a quiz description (QUIZ.toml)")};
    std::error_code ec;
    if (fs::exists(file, ec) || !file.has_filename()) {
        return d;
    }
    const fs::path name = file.filename();
    fs::path withTxt = name;
    withTxt += ".txt";
    const FileLookup txt = lookUpFile(file.parent_path(), withTxt);
    const FileLookup lookup = lookUpFile(file.parent_path(), name);
    fs::path meant = !txt.found.empty() ? txt.found : lookup.found;
    if (meant.empty() && !lookup.suggestion.empty()) {
        meant = fs::u8path(lookup.suggestion);
    }
    if (meant.empty()) {
        return d;
    }
    d.message = tr("cannot read the description: {reason}; did you mean {file}?",
                   {{"reason", why}, {"file", displayPath(file.parent_path() / meant)}});
    d.hint = !txt.found.empty()
                 ? tr("Notepad adds .txt to the name unless \"All files\" is chosen, and Windows "
                      "hides it: rename the file {name} (in Explorer, View > File name "
                      "extensions shows the .txt)",
                      {{"name", name.u8string()}})
                 : tr("give the file's name as it is written");
    return d;
}

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
        diagnostics->push_back(cannotRead(file, e.what()));
        return "";
    }
}

// An answer's forms as the check joined them by "|"; one form at least.
std::vector<std::string> splitForms(const std::string& answer) {
    std::vector<std::string> forms;
    size_t start = 0;
    for (size_t bar; (bar = answer.find('|', start)) != std::string::npos; start = bar + 1) {
        forms.push_back(answer.substr(start, bar - start));
    }
    forms.push_back(answer.substr(start));
    return forms;
}

bool setOtherFormsOf(QuestionNode* node, int a, const std::vector<std::string>& forms) {
    std::vector<const char*> others;
    for (size_t i = 1; i < forms.size(); ++i) {
        others.push_back(forms[i].c_str());
    }
    return setOtherForms(node, a, others.data(), static_cast<int>(others.size()));
}

// "the picture of question 3 (question[3].picture)", as an output that would destroy it
// names it.
std::string mediaInputName(const MediaFile& m) {
    const MessageArguments arguments = {{"q", m.question}, {"key", m.key}};
    switch (m.role) {
    case MediaRole::QuestionPicture:
        return tr("the picture of question {q} ({key})", arguments);
    case MediaRole::RevealPicture:
        return tr("the reveal picture of question {q} ({key})", arguments);
    case MediaRole::AudioClip:
    case MediaRole::VideoClip:
        break;
    }
    return tr("the clip of question {q} ({key})", arguments);
}

} // namespace

CheckResult DescriptionChecker::run(std::string_view text) {
    if (std::optional<Diagnostic> problem = findEncodingProblem(text, d_.file)) {
        diagnostics_.push_back(*problem);
        return finish();
    }
    std::string parserText;
    if (auto problem = screenDescription(text, &parserText)) {
        error(problem->line, problem->key, problem->message, problem->hint);
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
    checkMediaFiles(&d_, decoding_, &diagnostics_, examiner_);
    return finish();
}

CheckResult DescriptionChecker::finish() {
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

void DescriptionChecker::readRoot(const toml::table& root) {
    // TRANSLATORS: where an unknown key was found, in "unknown key 'x' {where}, ignored".
    warnUnknownKeys(root, kRootKeys, "", tr("at the top of the description"));
    d_.title = shownText(root, "title", titleBox(), tr("the title"));
    d_.creator = shownText(root, "creator", creatorBox(), tr("the creator"));
    d_.explanation = shownText(root, "explanation", explanationBox(), tr("the explanation"));
    readKind(root);
    readAnswerCount(root);
    readReveal(root);
    readBackground(root);
    readLabels(root);
    readCodes(root);
    readLink(root);
    readGrading(root);
}

// A text the player shows in a box too small for it, read last without an error.
void DescriptionChecker::warnIfCutOff(int line, const std::string& key, const std::string& text,
                                      const TextBox& box, const std::string& what) {
    if (!lastTextOk()) {
        return;
    }
    if (std::optional<FitProblem> problem = textFitProblem(text, box)) {
        warning(line, key, tr("{what} {problem}", {{"what", what}, {"problem", problem->message}}),
                problem->hint);
    }
}

// An optional text of the header.
std::string DescriptionChecker::shownText(const toml::table& root, const char* name,
                                          const TextBox& box, const std::string& what) {
    const toml::node* node = root.get(name);
    if (node == nullptr) {
        return "";
    }
    std::string shown = text(*node, name, kPackageField, what);
    warnIfCutOff(lineOf(*node), name, shown, box, what);
    return shown;
}

void DescriptionChecker::readKind(const toml::table& root) {
    if (root.get("kind") == nullptr) {
        error(0, "kind", tr("missing: the description must say what kind of quiz it is"),
              tr("add a line kind = \"text\" (or \"picture\", \"audio\", \"video\")"));
        return;
    }
    kindKnown_ = readName(root, "kind", kKindNames, &d_.quizType);
}

void DescriptionChecker::readReveal(const toml::table& root) {
    if (root.get("reveal") == nullptr) {
        d_.revealMode = REVEAL_NOTHING;
        revealKnown_ = true;
        return;
    }
    revealKnown_ = readName(root, "reveal", kRevealNames, &d_.revealMode);
}

void DescriptionChecker::readAnswerCount(const toml::table& root) {
    const toml::node* node = root.get("answers_per_question");
    if (node == nullptr) {
        d_.answersPerQuestion = 1;
        answerCountKnown_ = true;
        return;
    }
    const auto* n = node->as_integer();
    if (n == nullptr || (n->get() != 1 && n->get() != 2)) {
        error(lineOf(*node), "answers_per_question",
              n ? tr("is {value}; a question has 1 or 2 answer fields", {{"value", n->get()}})
                : tr("must be the number 1 or 2, not {type}", {{"type", typeName(*node)}}),
              tr("write answers_per_question = 1 or answers_per_question = 2 (no quotes)"));
        return;
    }
    d_.answersPerQuestion = static_cast<int32_t>(n->get());
    answerCountKnown_ = true;
}

void DescriptionChecker::readBackground(const toml::table& root) {
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
              s ? tr("is {value}, not a colour of the form \"#RRGGBB\"",
                     {{"value", inQuotes(s->get())}})
                : tr("must be a text \"#RRGGBB\", not {type}", {{"type", typeName(*node)}}),
              tr("give red, green and blue as two hexadecimal digits each, "
                 "for example background = \"#C0D8FF\""));
        return;
    }
    const std::string& v = s->get();
    d_.background.red = static_cast<uint8_t>(hex(v[1]) * 16 + hex(v[2]));
    d_.background.green = static_cast<uint8_t>(hex(v[3]) * 16 + hex(v[4]));
    d_.background.blue = static_cast<uint8_t>(hex(v[5]) * 16 + hex(v[6]));
}

void DescriptionChecker::readLabels(const toml::table& root) {
    const toml::node* node = root.get("labels");
    if (node == nullptr) {
        return;
    }
    labelsLine_ = lineOf(*node);
    const auto* labels = node->as_array();
    if (labels == nullptr || labels->size() > 2) {
        error(lineOf(*node), "labels",
              labels ? tr("has {count} entries; there are two answer labels",
                          {{"count", labels->size()}})
                     : tr("must be a list of texts, not {type}", {{"type", typeName(*node)}}),
              tr("write labels = [\"first answer\", \"second answer\"]"));
        return;
    }
    std::string* targets[] = {&d_.answerLabel1, &d_.answerLabel2};
    bool shown = answerCountKnown_ && d_.answersPerQuestion == 2 && kindKnown_ &&
                 showsColumnLabels(d_.quizType);
    for (size_t i = 0; i < labels->size(); ++i) {
        std::string key = "labels[" + std::to_string(i + 1) + "]";
        std::string what = tr("answer label {n}", {{"n", i + 1}});
        *targets[i] = text(*labels->get(i), key, kPackageField, what);
        if (shown) {
            warnIfCutOff(lineOf(*labels->get(i)), key, *targets[i], columnLabelBox(), what);
        }
    }
}

void DescriptionChecker::readCodes(const toml::table& root) {
    const toml::node* node = root.get("codes");
    if (node == nullptr) {
        return;
    }
    codesLine_ = lineOf(*node);
    const auto* codes = node->as_array();
    if (codes == nullptr) {
        error(lineOf(*node), "codes",
              tr("must be a list of texts, not {type}", {{"type", typeName(*node)}}),
              tr("write codes = [\"code for 1 solved\", \"code for 2 solved\", ...]"));
        return;
    }
    codesGiven_ = codes->size();
    for (size_t i = 0; i < codes->size(); ++i) {
        d_.codes.push_back(text(*codes->get(i), codeKey(i), kCodeLine, codeName(i)));
        codeLines_.push_back(lastTextOk() ? lineOf(*codes->get(i)) : 0); // 0: not measured
    }
}

// The author's own address for the header's link, or "" for none; http and https only, since
// the player hands it to the system to open.
void DescriptionChecker::readLink(const toml::table& root) {
    const toml::node* node = root.get("link");
    if (node == nullptr) {
        return;
    }
    std::string link = text(*node, "link", kPackageField, tr("the link"));
    if (!lastTextOk()) {
        return;
    }
    if (!isAcceptedLink(link.c_str())) {
        error(lineOf(*node), "link",
              tr("is {value}, not a web address: it must begin with http:// or https:// and "
                 "hold no blank",
                 {{"value", inQuotes(cp1252ToUtf8(link))}}),
              tr("write for example link = \"https://www.example.org/\", or link = \"\" to show "
                 "no link"));
        return;
    }
    d_.hasLink = true;
    d_.link = link;
    if (std::optional<FitProblem> problem = textFitProblem(link, linkBox())) {
        warning(lineOf(*node), "link",
                tr("{what} {problem}", {{"what", tr("the link")}, {"problem", problem->message}}),
                tr("the header shows only what fits, though a click opens the whole address; a "
                   "shorter address shows whole"));
    }
}

// The tolerances: each key picks its value from two, the first being the exact grading.
void DescriptionChecker::readGrading(const toml::table& root) {
    const toml::node* node = root.get("grading");
    if (node == nullptr) {
        return;
    }
    const toml::table* table = node->as_table();
    if (table == nullptr) {
        error(lineOf(*node), "grading",
              tr("must be a table, not {type}", {{"type", typeName(*node)}}),
              tr("write [grading] on a line of its own after the quiz's other keys, then "
                 "accents = \"optional\", case = \"any\" or quotes = \"any\" below it"));
        return;
    }
    // A quiz key written below [grading] belongs to that table in TOML: say where it goes.
    toml::table others = *table;
    for (const char* key : kRootKeys) {
        if (const toml::node* misplaced = table->get(key)) {
            warning(lineOf(*misplaced), std::string("grading.") + key,
                    tr("'{key}' is written below [grading], so it belongs to that table and is "
                       "ignored",
                       {{"key", key}}),
                    tr("move it above the [grading] line: the quiz's own keys come before any "
                       "table"));
            others.erase(key);
        }
    }
    warnUnknownKeys(others, kGradingKeys, "grading.", tr("in [grading]"));
    const struct {
        const char* key;
        KeyNames values;
        uint32_t tolerance;
    } rules[] = {
        {"accents", {"required", "optional"}, TOLERATE_ACCENTS},
        {"case", {"a-z", "any"}, TOLERATE_CASE},
        {"quotes", {"exact", "any"}, TOLERATE_QUOTES},
    };
    for (const auto& rule : rules) {
        int32_t value = 0;
        if (readName(*table, rule.key, rule.values, &value, "grading.") && value == 1) {
            d_.tolerances |= rule.tolerance;
        }
    }
    setTolerances(d_.tolerances);
}

CheckResult checkDescriptionText(std::string_view text, const std::string& displayName,
                                 const fs::path& folder, PictureDecoding decoding,
                                 const MediaExaminer& examiner) {
    return DescriptionChecker(displayName, folder, decoding, examiner).run(text);
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

Description checkBeforeMaking(const fs::path& file, std::vector<Diagnostic>* diagnostics,
                              const CheckedCallback& checked) {
    CheckResult result = checkDescriptionFile(file, PictureDecoding::HeaderOnly);
    *diagnostics = std::move(result.diagnostics);
    if (checked) {
        checked(*diagnostics);
    }
    return std::move(result.description);
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
    quiz->tolerances = d.tolerances;
    quiz->linkChoice = d.hasLink ? LINK_AUTHOR : LINK_PROGRAM;
    copyText(quiz->link, d.link.c_str());
    int count = 0;
    for (const QuestionEntry& q : d.questions) {
        if (count == kMaxQuestions) {
            break; // only a description with errors gets here
        }
        const std::vector<std::string> first = splitForms(q.answer1);
        const std::vector<std::string> second = splitForms(q.answer2);
        QuestionNode* node =
            appendQuestion(quiz.get(), first[0].c_str(), second[0].c_str(), q.text.c_str());
        if (node == nullptr || !setOtherFormsOf(node, 1, first) ||
            !setOtherFormsOf(node, 2, second)) {
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

Rgb rgbOfColourref(uint32_t colourref) {
    return Rgb{static_cast<uint8_t>(colourref & 0xFF),
               static_cast<uint8_t>((colourref >> 8) & 0xFF),
               static_cast<uint8_t>((colourref >> 16) & 0xFF)};
}

std::string colourName(Rgb colour) {
    char s[8];
    snprintf(s, sizeof s, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
    return s;
}

fs::path slashedPath(const std::string& utf8) {
    std::string slashed = utf8;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return fs::u8path(slashed);
}

std::vector<CommandInput> descriptionInputs(const fs::path& descriptionFile,
                                            const Description& description) {
    std::vector<CommandInput> inputs = {{descriptionFile, tr("the quiz description")}};
    if (!description.questionsFile.empty()) {
        inputs.push_back({description.questionsFile, tr("the questions file")});
    }
    for (const MediaFile& m : description.media) {
        inputs.push_back({m.path, mediaInputName(m)});
    }

    return inputs;
}
