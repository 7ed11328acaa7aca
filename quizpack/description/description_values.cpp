#include "quizpack/description/description_values.h"

#include <algorithm>

#include "checking/grader.h"
#include "content/quiz.h"
#include "quizpack/description/answer_warnings.h"
#include "quizpack/common/closest_name.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"

namespace {

constexpr int kMaxTextBytes = kTextCapacity - 1;

std::string joinKeys(const KeyNames& known) {
    std::string s;
    for (const char* k : known) {
        s += (s.empty() ? "" : ", ") + std::string(k);
    }
    return s;
}

} // namespace

const char* typeName(const toml::node& node) {
    switch (node.type()) {
    // TRANSLATORS: what a TOML value is, after "must be a text in double quotes, not".
    case toml::node_type::table:
        return tr("a table");
    case toml::node_type::array:
        return tr("an array");
    case toml::node_type::string:
        return tr("a string");
    case toml::node_type::integer:
        return tr("an integer");
    case toml::node_type::floating_point:
        return tr("a number");
    case toml::node_type::boolean:
        return tr("a boolean");
    case toml::node_type::date:
        return tr("a date");
    case toml::node_type::time:
        return tr("a time");
    case toml::node_type::date_time:
        return tr("a date-time");
    default:
        return tr("nothing");
    }
}

int lineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

std::string questionKey(int q, const char* key) {
    return "question[" + std::to_string(q) + "]" + (key[0] ? "." : "") + key;
}

std::string inQuotes(const std::string& utf8) {
    return quoteInput(utf8);
}

void ValueReader::add(Severity severity, int line, const std::string& key,
                      const std::string& message, const std::string& hint) {
    diagnostics_.push_back(
        Diagnostic{sourceFile(), line, key, severity, message, hint, source_.column});
}

void ValueReader::error(int line, const std::string& key, const std::string& message,
                        const std::string& hint) {
    add(Severity::Error, line, key, message, hint);
}

void ValueReader::warning(int line, const std::string& key, const std::string& message,
                          const std::string& hint) {
    add(Severity::Warning, line, key, message, hint);
}

void ValueReader::note(int line, const std::string& key, const std::string& message,
                       const std::string& hint) {
    add(Severity::Note, line, key, message, hint);
}

void ValueReader::warnUnknownKeys(const toml::table& table, const KeyNames& known,
                                  const std::string& prefix, const char* where) {
    for (auto&& [k, value] : table) {
        std::string key(k.str());
        if (std::find_if(known.begin(), known.end(), [&](const char* s) { return key == s; }) !=
            known.end()) {
            continue;
        }
        std::string suggestion = closestName(key, known.data(), known.size());
        const MessageArguments arguments = {{"key", excerpt(key)},
                                            {"where", where},
                                            {"keys", joinKeys(known)},
                                            {"name", suggestion}};
        std::string message = tr("unknown key '{key}' {where}, ignored", arguments);
        std::string hint = tr("the keys {where} are: {keys}", arguments);
        if (!suggestion.empty()) {
            message = tr("unknown key '{key}' {where}, ignored; did you mean '{name}'?", arguments);
            hint = tr("rename it to '{name}'", arguments);
        }
        warning(static_cast<int>(k.source().begin.line), prefix + excerpt(key), message, hint);
    }
}

std::string ValueReader::text(const toml::node& node, const std::string& key, unsigned rules,
                              const std::string& what) {
    const auto* value = node.as_string();
    lastTextOk_ = value != nullptr;
    if (value == nullptr) {
        error(lineOf(node), key,
              tr("{what} must be a text in double quotes, not {type}",
                 {{"what", what}, {"type", typeName(node)}}),
              tr("write it in double quotes, for example \"5\""));
        return "";
    }
    return convert(value->get(), lineOf(node), key, rules, what);
}

std::string ValueReader::convertText(const std::string& utf8, int line, const std::string& key,
                                     unsigned rules, const std::string& what) {
    return convert(utf8, line, key, rules, what);
}

// False, with the error said, when BYTES holds a NUL, which would end the text early wherever
// the player reads it.
bool ValueReader::refuseNul(const std::string& bytes, int line, const std::string& key,
                            const std::string& what) {
    if (bytes.find('\0') == std::string::npos) {
        return true;
    }
    error(line, key,
          tr("{what} holds a NUL character (\\u0000), which would end it early", {{"what", what}}),
          tr("remove the \\u0000"));
    return false;
}

std::string ValueReader::convert(const std::string& utf8, int line, const std::string& key,
                                 unsigned rules, const std::string& what) {
    std::string bytes;
    Cp1252Error bad;
    if (!utf8ToCp1252(utf8, &bytes, &bad)) {
        error(line, key,
              tr("{what}: {problem}", {{"what", what}, {"problem", describeCp1252Error(bad)}}),
              tr("the player shows single-byte Windows-1252 texts (Western European "
                 "letters, punctuation, the euro sign)"));
        lastTextOk_ = false;
        return "";
    }
    if ((rules & kAnswerForms) && bytes.find('|') != std::string::npos) {
        return convertForms(bytes, line, key, rules, what);
    }
    bool ok = true;
    if (bytes.size() > static_cast<size_t>(kMaxTextBytes)) {
        error(line, key,
              tr("{what} is {bytes} bytes long in Windows-1252; the player holds at most 259",
                 {{"what", what}, {"bytes", bytes.size()}}),
              trn("shorten it by {n} character", "shorten it by {n} characters",
                  bytes.size() - kMaxTextBytes));
        ok = false;
    }
    if (!refuseNul(bytes, line, key, what)) {
        ok = false;
    }
    if ((rules & kPackageField) && bytes.find('|') != std::string::npos) {
        error(line, key,
              tr("{what} holds a '|' (character {position}), the separator of the quiz "
                 "package's fields",
                 {{"what", what}, {"position", bytes.find('|') + 1}}),
              tr("replace '|' by '/' or another character"));
        ok = false;
    }
    if ((rules & kCodeLine) && bytes.find_first_of("\r\n") != std::string::npos) {
        error(line, key,
              tr("{what} holds a line break (CR or LF); each code is one line", {{"what", what}}),
              tr("remove the \\n or \\r"));
        ok = false;
    }
    lastTextOk_ = ok;
    if (ok && (rules & kExpectedAnswer)) {
        checkExpectedAnswer({bytes}, line, key, what);
    }
    return bytes;
}

// An answer of accepted forms, "A | B": each form without the blanks around it, empty ones
// left out. Returned as the forms joined by "|", which no form holds.
std::string ValueReader::convertForms(const std::string& bytes, int line, const std::string& key,
                                      unsigned rules, const std::string& what) {
    bool ok = true;
    if (!refuseNul(bytes, line, key, what)) {
        ok = false;
    }
    std::vector<std::string> forms;
    std::vector<int> written; // each kept form's place in the text, for messages
    int index = 0;
    for (size_t start = 0; start <= bytes.size();) {
        size_t bar = bytes.find('|', start);
        size_t end = bar == std::string::npos ? bytes.size() : bar;
        size_t first = bytes.find_first_not_of(' ', start);
        std::string form;
        if (first < end) {
            form = bytes.substr(first, bytes.find_last_not_of(' ', end - 1) + 1 - first);
        }
        ++index;
        const MessageArguments arguments = {
            {"what", what}, {"index", index}, {"bytes", form.size()}};
        if (form.empty()) {
            warning(line, key,
                    tr("{what}: accepted form {index} is empty (two '|' in a row, or one at an "
                       "end): it is left out",
                       arguments),
                    tr("remove the extra '|'"));
        } else if (form.size() > static_cast<size_t>(kMaxTextBytes)) {
            error(line, key,
                  tr("{what}: accepted form {index} is {bytes} bytes long in Windows-1252; the "
                     "player holds at most 259",
                     arguments),
                  trn("shorten it by {n} character", "shorten it by {n} characters",
                      form.size() - kMaxTextBytes));
            ok = false;
        } else {
            forms.push_back(form);
            written.push_back(index);
        }
        start = end + 1;
    }
    if (forms.size() > static_cast<size_t>(kMaxAnswerForms)) {
        const MessageArguments arguments = {
            {"what", what}, {"count", forms.size()}, {"most", kMaxAnswerForms}};
        error(line, key,
              tr("{what} has {count} accepted forms; an answer has at most {most}", arguments),
              tr("keep the {most} that players are likeliest to type", arguments));
        ok = false;
    }
    lastTextOk_ = ok;
    if (!ok) {
        return "";
    }
    warnDuplicateForms(forms, written, line, key, what);
    if (rules & kExpectedAnswer) {
        checkExpectedAnswer(forms.empty() ? std::vector<std::string>{""} : forms, line, key, what);
    }
    std::string joined;
    for (const std::string& form : forms) {
        joined += (joined.empty() ? "" : "|") + form;
    }
    return joined;
}

// A form the grader cannot tell from an earlier one.
void ValueReader::warnDuplicateForms(const std::vector<std::string>& forms,
                                     const std::vector<int>& written, int line,
                                     const std::string& key, const std::string& what) {
    std::vector<std::string> folded;
    for (const std::string& form : forms) {
        char text[kTextCapacity];
        folded.emplace_back(text, static_cast<size_t>(foldText(form.c_str(), tolerances_, text)));
    }
    for (size_t j = 1; j < forms.size(); ++j) {
        for (size_t i = 0; i < j; ++i) {
            if (folded[i] != folded[j]) {
                continue;
            }
            const MessageArguments arguments = {{"what", what},
                                                {"index", written[j]},
                                                {"form", quoteInput(cp1252ToUtf8(forms[j]))},
                                                {"other", written[i]},
                                                {"otherForm", quoteInput(cp1252ToUtf8(forms[i]))}};
            warning(line, key,
                    tolerances_ != 0
                        ? tr("{what}: accepted form {index} {form} grades as form {other} "
                             "{otherForm} (the case of a to z and the [grading] tolerances do "
                             "not count): it adds nothing",
                             arguments)
                        : tr("{what}: accepted form {index} {form} grades as form {other} "
                             "{otherForm} (the case of a to z does not count): it adds nothing",
                             arguments),
                    tr("remove it"));
            break;
        }
    }
}

// The player trims blanks from the typed text only, and reads it from a one-line field. An
// answer of several forms has neither empty forms nor blanks around them.
void ValueReader::checkExpectedAnswer(const std::vector<std::string>& forms, int line,
                                      const std::string& key, const std::string& what) {
    const std::string& answer = forms.front();
    const bool single = forms.size() == 1;
    if (single && answer.empty()) {
        warning(line, key,
                tr("{what} is empty: the player grades an empty field \"?\", so this answer "
                   "can never be \"BRAVO\"",
                   {{"what", what}}),
                tr("give the expected answer"));
    } else if (single && (answer.front() == ' ' || answer.back() == ' ')) {
        warning(line, key,
                tr("{what} {answer} begins or ends with a blank; the player removes blanks "
                   "around the typed text, so it can never grade this answer \"BRAVO\"",
                   {{"what", what}, {"answer", quoteInput(cp1252ToUtf8(answer))}}),
                tr("remove the blanks at either end"));
    }
    for (const std::string& form : forms) {
        if (form.find_first_of("\r\n\t") != std::string::npos) {
            warning(line, key,
                    tr("{what} holds a tab or line break, which cannot be typed into the "
                       "one-line answer field",
                       {{"what", what}}),
                    tr("replace it by a blank"));
            break;
        }
    }
    for (const AnswerProblem& p : answerProblems(forms, tolerances_)) {
        add(p.severity, line, key,
            // TRANSLATORS: an answer ("question 3's answer 1") and what is wrong with it.
            tr("{what} {problem}", {{"what", what}, {"problem", p.message}}), p.hint);
    }
}

std::string ValueReader::optionalText(const toml::table& table, const char* name,
                                      const std::string& key, unsigned rules,
                                      const std::string& what) {
    const toml::node* node = table.get(name);
    return node ? text(*node, key, rules, what) : std::string();
}

bool ValueReader::readName(const toml::table& table, const char* name, const KeyNames& names,
                           int32_t* value, const std::string& keyPrefix) {
    const toml::node* node = table.get(name);
    std::string choices;
    for (const char* n : names) {
        choices += (choices.empty() ? "" : " | ") + inQuotes(n);
    }
    if (node == nullptr) {
        return false;
    }
    const auto* s = node->as_string();
    if (s != nullptr) {
        for (size_t i = 0; i < names.size(); ++i) {
            if (s->get() == names[i]) {
                *value = static_cast<int32_t>(i);
                return true;
            }
        }
    }
    error(lineOf(*node), keyPrefix + name,
          s ? tr("unknown value {value}", {{"value", inQuotes(s->get())}})
            : tr("must be a text in double quotes, not {type}", {{"type", typeName(*node)}}),
          tr("write {key} = one of {choices}", {{"key", name}, {"choices", choices}}));

    return false;
}
