#include "tools/quizpack/description.h"

#include <algorithm>
#include <cstdio>

#include <toml++/toml.h>

#include "checking/grader.h"
#include "content/lzw.h"
#include "content/package.h"
#include "tools/quizpack/cp1252.h"
#include "tools/quizpack/file_io.h"
#include "tools/quizpack/parallel.h"

namespace fs = std::filesystem;

namespace {

const char* const kKindNames[] = {"text", "picture", "audio", "video"};
const char* const kRevealNames[] = {"none", "picture", "text", "text+picture", "all-texts"};

const char* const kRootKeys[] = {
    "title",  "creator", "explanation", "kind",  "answers_per_question",
    "labels", "reveal",  "background",  "codes", "question"};
const char* const kQuestionKeys[] = {"answers", "text",           "reveal_text",
                                     "picture", "reveal_picture", "clip"};

constexpr int kMaxTextBytes = kTextCapacity - 1;

// What a text may not hold, beyond being Windows-1252 and at most 259 bytes.
enum TextRule : unsigned {
    kPackageField = 1u << 0,   // a "|"-delimited package field: no "|"
    kCodeLine = 1u << 1,       // a CR LF-terminated code line: no CR or LF
    kExpectedAnswer = 1u << 2, // compared with typed text: warn about untypeable answers
};

std::string lowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The known key an unknown one was probably meant to be, or "".
template <size_t N> std::string closestKey(const std::string& key, const char* const (&known)[N]) {
    // The grader's distance takes zero-terminated texts of at most 259 bytes. A longer key
    // is over 200 edits from every known key; a NUL (a quoted key may hold \u0000)
    // becomes DEL, which, like NUL, matches no character of a known key.
    if (key.size() > static_cast<size_t>(kMaxTextBytes)) {
        return "";
    }
    std::string lowered = lowerAscii(key);
    std::replace(lowered.begin(), lowered.end(), '\0', '\x7f');
    std::string best;
    int bestDistance = 3; // more than two edits away is not a typo any more
    for (const char* candidate : known) {
        int d = editDistance(lowered.c_str(), candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}

const char* typeName(const toml::node& node) {
    switch (node.type()) {
    case toml::node_type::table:
        return "a table";
    case toml::node_type::array:
        return "an array";
    case toml::node_type::string:
        return "a string";
    case toml::node_type::integer:
        return "an integer";
    case toml::node_type::floating_point:
        return "a number";
    case toml::node_type::boolean:
        return "a boolean";
    case toml::node_type::date:
        return "a date";
    case toml::node_type::time:
        return "a time";
    case toml::node_type::date_time:
        return "a date-time";
    default:
        return "nothing";
    }
}

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

std::string questionKey(int q, const char* key) {
    return "question[" + std::to_string(q) + "]" + (key[0] ? "." : "") + key;
}

std::string inQuotes(const std::string& utf8) {
    return "\"" + utf8 + "\"";
}

// The checks of one media file, with their own list of problems.
struct MediaCheck {
    const std::string& file;
    const fs::path& folder;
    PictureDecoding decoding;
    std::vector<Diagnostic>* out;

    void add(Severity severity, const MediaFile& media, const std::string& message,
             const std::string& hint) {
        out->push_back(Diagnostic{file, media.line, media.key, severity, message, hint});
    }

    void run(MediaFile& media) {
        std::vector<uint8_t> bytes;
        try {
            bytes = readWholeFile(media.path);
        } catch (const FileError& e) {
            add(Severity::Error, media, e.what(),
                "paths are relative to the description's folder (" +
                    displayPath(folder.empty() ? fs::path(".") : folder) + ")");
            return;
        }
        media.size = bytes.size();
        media.format = sniffMediaFormat(bytes);
        std::string name = inQuotes(media.given);
        if (bytes.empty()) {
            add(Severity::Error, media, name + " is empty", "give a file with content");
            return;
        }
        switch (media.role) {
        case MediaRole::QuestionPicture:
        case MediaRole::RevealPicture:
            checkPicture(media, bytes, name);
            break;
        case MediaRole::AudioClip:
            if (media.format != MediaFormat::Mp3) {
                add(Severity::Error, media,
                    name + " is " + formatDescription(media.format) +
                        ", not an MP3 clip; audio quizzes play MP3 files",
                    "convert it, for example: lame IN.wav OUT.mp3 (or ffmpeg -i IN OUT.mp3)");
            }
            break;
        case MediaRole::VideoClip:
            if (media.format != MediaFormat::Avi) {
                add(Severity::Error, media,
                    name + " is " + formatDescription(media.format) +
                        ", not an AVI clip; video quizzes play AVI files",
                    "convert it, for example: ffmpeg -i IN OUT.avi");
            }
            break;
        }
    }

    static std::string formatDescription(MediaFormat format) {
        return format == MediaFormat::Unknown
                   ? "of no known format"
                   : std::string("a ") + mediaFormatName(format) + " file";
    }

    void checkPicture(MediaFile& media, const std::vector<uint8_t>& bytes,
                      const std::string& name) {
        PictureInfo info;
        try {
            info = decoding == PictureDecoding::Full ? inspectPicture(bytes)
                                                     : inspectPictureHeader(bytes);
        } catch (const PictureError& e) {
            add(Severity::Error, media, name + ": " + e.what(),
                "save it as a JPEG picture (for example: convert IN OUT.jpg)");
            return;
        }
        media.pictureSize = info.size;
        if (!playerShowsPicture(info.format)) {
            add(Severity::Note, media,
                name + " is a " + mediaFormatName(info.format) +
                    " picture, which the player cannot show; build converts it to JPEG",
                "");
        }
    }
};

class Checker {
  public:
    Checker(std::string file, fs::path folder, PictureDecoding decoding) : decoding_(decoding) {
        d_.file = std::move(file);
        d_.folder = std::move(folder);
    }

    CheckResult run(std::string_view text) {
        toml::table root;
        try {
            root = toml::parse(text, std::string_view(d_.file));
        } catch (const toml::parse_error& e) {
            error(static_cast<int>(e.source().begin.line), "",
                  "not valid TOML: " + std::string(e.description()),
                  "column " + std::to_string(e.source().begin.column) +
                      "; texts go in double quotes, each key once per table, "
                      "questions as [[question]] tables");
            return finish();
        }
        readRoot(root);
        readQuestions(root);
        crossCheck(root);
        if (!hasErrors(diagnostics_)) {
            checkPackageSize(root);
        }
        checkMediaFiles();
        return finish();
    }

  private:
    Description d_;
    std::vector<Diagnostic> diagnostics_;
    PictureDecoding decoding_;
    bool kindKnown_ = false;
    bool revealKnown_ = false;
    bool answerCountKnown_ = false;
    int codesLine_ = 0;
    size_t codesGiven_ = 0;
    int labelsLine_ = 0;

    CheckResult finish() {
        // In file order, as an author reads them; problems without a line come first.
        std::stable_sort(diagnostics_.begin(), diagnostics_.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
        CheckResult result;
        result.description = std::move(d_);
        result.diagnostics = std::move(diagnostics_);
        return result;
    }

    void add(Severity severity, int line, const std::string& key, const std::string& message,
             const std::string& hint) {
        diagnostics_.push_back(Diagnostic{d_.file, line, key, severity, message, hint});
    }
    void error(int line, const std::string& key, const std::string& message,
               const std::string& hint = "") {
        add(Severity::Error, line, key, message, hint);
    }
    void warning(int line, const std::string& key, const std::string& message,
                 const std::string& hint = "") {
        add(Severity::Warning, line, key, message, hint);
    }
    void note(int line, const std::string& key, const std::string& message,
              const std::string& hint = "") {
        add(Severity::Note, line, key, message, hint);
    }

    // ---- keys and values -------------------------------------------------------------

    template <size_t N>
    void warnUnknownKeys(const toml::table& table, const char* const (&known)[N],
                         const std::string& prefix, const char* where) {
        for (auto&& [k, value] : table) {
            std::string key(k.str());
            if (std::find_if(std::begin(known), std::end(known),
                             [&](const char* s) { return key == s; }) != std::end(known)) {
                continue;
            }
            std::string suggestion = closestKey(key, known);
            std::string message = "unknown key '" + key + "' " + where + ", ignored";
            std::string hint = std::string("the keys ") + where + " are: " + joinKeys(known);
            if (!suggestion.empty()) {
                message += "; did you mean '" + suggestion + "'?";
                hint = "rename it to '" + suggestion + "'";
            }
            warning(static_cast<int>(k.source().begin.line), prefix + key, message, hint);
        }
    }

    template <size_t N> static std::string joinKeys(const char* const (&known)[N]) {
        std::string s;
        for (const char* k : known) {
            s += (s.empty() ? "" : ", ") + std::string(k);
        }
        return s;
    }

    // The text of a string node in Windows-1252, checked against `rules`.
    std::string text(const toml::node& node, const std::string& key, unsigned rules,
                     const std::string& what) {
        const auto* value = node.as_string();
        if (value == nullptr) {
            error(lineOf(node), key,
                  what + " must be a text in double quotes, not " + typeName(node),
                  "write it in double quotes, for example \"5\"");
            return "";
        }
        return convert(value->get(), lineOf(node), key, rules, what);
    }

    std::string convert(const std::string& utf8, int line, const std::string& key, unsigned rules,
                        const std::string& what) {
        std::string bytes;
        Cp1252Error bad;
        if (!utf8ToCp1252(utf8, &bytes, &bad)) {
            error(line, key, what + ": " + describeCp1252Error(bad),
                  "the player shows single-byte Windows-1252 texts (Western European "
                  "letters, punctuation, the euro sign)");
            return "";
        }
        bool ok = true;
        if (bytes.size() > static_cast<size_t>(kMaxTextBytes)) {
            error(line, key,
                  what + " is " + std::to_string(bytes.size()) +
                      " bytes long in Windows-1252; the player holds at most 259",
                  "shorten it by " + std::to_string(bytes.size() - kMaxTextBytes) + " characters");
            ok = false;
        }
        if (bytes.find('\0') != std::string::npos) {
            error(line, key, what + " holds a NUL character (\\u0000), which would end it early",
                  "remove the \\u0000");
            ok = false;
        }
        if ((rules & kPackageField) && bytes.find('|') != std::string::npos) {
            error(line, key,
                  what + " holds a '|' (character " + std::to_string(bytes.find('|') + 1) +
                      "), the separator of the quiz package's fields",
                  "replace '|' by '/' or another character");
            ok = false;
        }
        if ((rules & kCodeLine) && bytes.find_first_of("\r\n") != std::string::npos) {
            error(line, key, what + " holds a line break (CR or LF); each code is one line",
                  "remove the \\n or \\r");
            ok = false;
        }
        if (ok && (rules & kExpectedAnswer)) {
            checkExpectedAnswer(bytes, line, key, what);
        }
        return bytes;
    }

    // The player trims blanks from the typed text only, and reads it from a one-line field.
    void checkExpectedAnswer(const std::string& answer, int line, const std::string& key,
                             const std::string& what) {
        if (answer.empty()) {
            warning(line, key,
                    what + " is empty: the player grades an empty field \"?\", so "
                           "this answer can never be \"BRAVO\"",
                    "give the expected answer");
        } else if (answer.front() == ' ' || answer.back() == ' ') {
            warning(line, key,
                    what + " \"" + cp1252ToUtf8(answer) +
                        "\" begins or ends with a blank; the player removes blanks around the "
                        "typed text, so it can never grade this answer \"BRAVO\"",
                    "remove the blanks at either end");
        }
        if (answer.find_first_of("\r\n\t") != std::string::npos) {
            warning(line, key,
                    what + " holds a tab or line break, which cannot be typed into the "
                           "one-line answer field",
                    "replace it by a blank");
        }
    }

    // An optional text key of a table; empty when absent.
    std::string optionalText(const toml::table& table, const char* name, const std::string& key,
                             unsigned rules, const std::string& what) {
        const toml::node* node = table.get(name);
        return node ? text(*node, key, rules, what) : std::string();
    }

    // ---- the root table --------------------------------------------------------------

    void readRoot(const toml::table& root) {
        warnUnknownKeys(root, kRootKeys, "", "at the top of the description");
        d_.title = optionalText(root, "title", "title", kPackageField, "the title");
        d_.creator = optionalText(root, "creator", "creator", kPackageField, "the creator");
        d_.explanation =
            optionalText(root, "explanation", "explanation", kPackageField, "the explanation");
        readKind(root);
        readAnswerCount(root);
        readReveal(root);
        readBackground(root);
        readLabels(root);
        readCodes(root);
    }

    template <size_t N>
    bool readName(const toml::table& root, const char* name, const char* const (&names)[N],
                  int32_t* value) {
        const toml::node* node = root.get(name);
        std::string choices;
        for (const char* n : names) {
            choices += (choices.empty() ? "" : " | ") + inQuotes(n);
        }
        if (node == nullptr) {
            return false;
        }
        const auto* s = node->as_string();
        if (s != nullptr) {
            for (size_t i = 0; i < N; ++i) {
                if (s->get() == names[i]) {
                    *value = static_cast<int32_t>(i);
                    return true;
                }
            }
        }
        error(lineOf(*node), name,
              s ? "unknown value " + inQuotes(s->get())
                : std::string("must be a text in double quotes, not ") + typeName(*node),
              std::string("write ") + name + " = one of " + choices);
        return false;
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
        for (size_t i = 0; i < labels->size(); ++i) {
            *targets[i] = text(*labels->get(i), "labels[" + std::to_string(i + 1) + "]",
                               kPackageField, "answer label " + std::to_string(i + 1));
        }
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
            d_.codes.push_back(text(*codes->get(i), "codes[" + std::to_string(i + 1) + "]",
                                    kCodeLine,
                                    "the code for " + std::to_string(i + 1) + " solved"));
        }
    }

    // ---- questions ---------------------------------------------------------------------

    void readQuestions(const toml::table& root) {
        const toml::node* node = root.get("question");
        if (node == nullptr) {
            warning(0, "question", "the description has no [[question]]: the quiz is empty",
                    "add questions as [[question]] tables, each with answers = [\"...\"]");
            return;
        }
        const auto* questions = node->as_array();
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
            readQuestion(table, q);
        }
    }

    void readQuestion(const toml::table& table, int q) {
        QuestionEntry entry;
        entry.line = lineOf(table);
        warnUnknownKeys(table, kQuestionKeys, questionKey(q, "") + ".", "in a [[question]]");
        readAnswers(table, q, &entry);
        entry.text =
            optionalText(table, "text", questionKey(q, "text"), kPackageField, "the question text");
        if (const toml::node* node = table.get("reveal_text")) {
            std::string key = questionKey(q, "reveal_text");
            entry.revealText = text(*node, key, kPackageField, "the reveal text");
            if (revealKnown_ && d_.revealMode != REVEAL_TEXT &&
                d_.revealMode != REVEAL_TEXT_AND_PICTURE && d_.revealMode != REVEAL_ALL_TEXTS) {
                warning(lineOf(*node), key,
                        std::string("reveal = ") + inQuotes(revealName(d_.revealMode)) +
                            " keeps no reveal texts: this one is not stored",
                        "set reveal = \"text\", \"text+picture\" or \"all-texts\", or remove it");
                entry.revealText.clear();
            }
        }
        readMedia(table, q);
        d_.questions.push_back(std::move(entry));
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

    // Which "IMG" resource a media key becomes in this quiz, or why it is never shown.
    void readMedia(const toml::table& table, int q) {
        bool picture = kindKnown_ && d_.quizType == QUIZ_PICTURE;
        bool revealsPictures =
            picture && revealKnown_ &&
            (d_.revealMode == REVEAL_PICTURE || d_.revealMode == REVEAL_TEXT_AND_PICTURE);
        std::string kindText = kindKnown_ ? inQuotes(quizKindName(d_.quizType)) : "";

        const toml::node* pictureNode = table.get("picture");
        if (pictureNode && kindKnown_ && !picture) {
            warning(lineOf(*pictureNode), questionKey(q, "picture"),
                    "a quiz of kind = " + kindText +
                        " never shows question pictures; "
                        "it is not stored",
                    "remove it, or set kind = \"picture\"");
        } else if (pictureNode) {
            addMedia(*pictureNode, q, "picture", MediaRole::QuestionPicture,
                     kQuestionMediaBase + q);
        } else if (picture) {
            warning(lineOf(table), questionKey(q, "picture"),
                    "question " + std::to_string(q) +
                        " has no picture: the player shows an empty frame",
                    "add picture = \"media/q" + twoDigits(q) + ".jpg\"");
        }

        const toml::node* revealNode = table.get("reveal_picture");
        if (revealNode && kindKnown_ && revealKnown_ && !revealsPictures) {
            warning(lineOf(*revealNode), questionKey(q, "reveal_picture"),
                    picture ? "reveal = " + inQuotes(revealName(d_.revealMode)) +
                                  " never shows reveal pictures; it is not stored"
                            : "a quiz of kind = " + kindText +
                                  " never shows reveal pictures; it is not stored",
                    picture ? "set reveal = \"picture\" or \"text+picture\", or remove it"
                            : "remove it; reveal pictures need kind = \"picture\"");
        } else if (revealNode) {
            addMedia(*revealNode, q, "reveal_picture", MediaRole::RevealPicture,
                     kRevealPictureBase + q);
        } else if (revealsPictures) {
            warning(lineOf(table), questionKey(q, "reveal_picture"),
                    "question " + std::to_string(q) +
                        " has no reveal picture: solving it keeps the question picture",
                    "add reveal_picture = \"media/r" + twoDigits(q) + ".jpg\"");
        }

        const toml::node* clipNode = table.get("clip");
        bool clips = kindKnown_ && (d_.quizType == QUIZ_AUDIO || d_.quizType == QUIZ_VIDEO);
        if (clipNode && kindKnown_ && !clips) {
            warning(lineOf(*clipNode), questionKey(q, "clip"),
                    "a quiz of kind = " + kindText + " never plays clips; it is not stored",
                    "remove it, or set kind = \"audio\" (MP3) or \"video\" (AVI)");
        } else if (clipNode && clips) {
            addMedia(*clipNode, q, "clip",
                     d_.quizType == QUIZ_VIDEO ? MediaRole::VideoClip : MediaRole::AudioClip,
                     kQuestionMediaBase + q);
        } else if (clips) {
            bool video = d_.quizType == QUIZ_VIDEO;
            error(lineOf(table), questionKey(q, "clip"),
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

    void addMedia(const toml::node& node, int q, const char* name, MediaRole role,
                  uint32_t resourceId) {
        std::string key = questionKey(q, name);
        const auto* s = node.as_string();
        if (s == nullptr || s->get().empty()) {
            error(lineOf(node), key,
                  s ? std::string("is empty")
                    : std::string("must be a file path in double quotes, not ") + typeName(node),
                  "give the file's path relative to the description, for example "
                  "\"media/q01.jpg\"");
            return;
        }
        MediaFile media;
        media.role = role;
        media.question = q;
        media.resourceId = resourceId;
        media.given = s->get();
        fs::path given = fs::u8path(s->get());
        media.path = given.is_absolute() ? given : d_.folder / given;
        media.key = key;
        media.line = lineOf(node);
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
        if (d_.quizType != QUIZ_TEXT) {
            size_t withText = 0;
            int firstLine = 0;
            std::string firstKey;
            for (size_t i = 0; i < d_.questions.size(); ++i) {
                if (!d_.questions[i].text.empty()) {
                    if (withText++ == 0) {
                        // Questions were read, so "question" is an array of tables.
                        const toml::node* t =
                            root.get("question")->as_array()->get(i)->as_table()->get("text");
                        firstLine = lineOf(*t);
                        firstKey = questionKey(static_cast<int>(i) + 1, "text");
                    }
                }
            }
            if (withText > 0) {
                warning(firstLine, firstKey,
                        "question texts are shown only in text quizzes; " +
                            std::to_string(withText) + " question" +
                            (withText == 1 ? " has" : "s have") +
                            " one, stored but never shown in this " + quizKindName(d_.quizType) +
                            " quiz",
                        "remove the text keys, or set kind = \"text\"");
            }
        }
    }

    // The packer takes at most 65535 bytes; a quiz with 90 long questions can exceed it.
    void checkPackageSize(const toml::table& root) {
        QuizPtr quiz = makeQuiz(d_);
        size_t size = layOutPackage(*quiz).size();
        if (size > static_cast<size_t>(kLzwMaxInput)) {
            const toml::node* node = root.get("question");
            error(node ? lineOf(*node) : 0, "question",
                  "the quiz package would be " + std::to_string(size) +
                      " bytes; it can be at most " + std::to_string(kLzwMaxInput),
                  "shorten the texts by " + std::to_string(size - kLzwMaxInput) +
                      " bytes in all, or make two quizzes");
        }
    }

    // ---- media files -----------------------------------------------------------------

    // Every media file is read and checked on its own core; the problems are merged in
    // description order.
    void checkMediaFiles() {
        std::vector<std::vector<Diagnostic>> found(d_.media.size());
        runInParallel(
            d_.media.size(),
            [&](size_t i) {
                MediaCheck check{d_.file, d_.folder, decoding_, &found[i]};
                check.run(d_.media[i]);
            },
            [&](size_t i) {
                diagnostics_.insert(diagnostics_.end(), found[i].begin(), found[i].end());
            });
    }
};

std::string readDescriptionText(const fs::path& file, std::vector<Diagnostic>* diagnostics) {
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
    return quizType >= 0 && quizType < 4 ? kKindNames[quizType] : nullptr;
}

const char* revealName(int32_t revealMode) {
    return revealMode >= 0 && revealMode < 5 ? kRevealNames[revealMode] : nullptr;
}

std::string colourName(Rgb colour) {
    char s[8];
    snprintf(s, sizeof s, "#%02X%02X%02X", colour.red, colour.green, colour.blue);
    return s;
}
