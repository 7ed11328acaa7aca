#include "quizpack/description/description_values.h"

#include <algorithm>

#include "checking/grader.h"
#include "content/quiz.h"
#include "quizpack/description/answer_warnings.h"
#include "quizpack/common/closest_name.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/common/input_limits.h"

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
        std::string message = "unknown key '" + excerpt(key) + "' " + where + ", ignored";
        std::string hint = std::string("the keys ") + where + " are: " + joinKeys(known);
        if (!suggestion.empty()) {
            message += "; did you mean '" + suggestion + "'?";
            hint = "rename it to '" + suggestion + "'";
        }
        warning(static_cast<int>(k.source().begin.line), prefix + excerpt(key), message, hint);
    }
}

std::string ValueReader::text(const toml::node& node, const std::string& key, unsigned rules,
                              const std::string& what) {
    const auto* value = node.as_string();
    lastTextOk_ = value != nullptr;
    if (value == nullptr) {
        error(lineOf(node), key, what + " must be a text in double quotes, not " + typeName(node),
              "write it in double quotes, for example \"5\"");
        return "";
    }
    return convert(value->get(), lineOf(node), key, rules, what);
}

std::string ValueReader::convertText(const std::string& utf8, int line, const std::string& key,
                                     unsigned rules, const std::string& what) {
    return convert(utf8, line, key, rules, what);
}

std::string ValueReader::convert(const std::string& utf8, int line, const std::string& key,
                                 unsigned rules, const std::string& what) {
    std::string bytes;
    Cp1252Error bad;
    if (!utf8ToCp1252(utf8, &bytes, &bad)) {
        error(line, key, what + ": " + describeCp1252Error(bad),
              "the player shows single-byte Windows-1252 texts (Western European "
              "letters, punctuation, the euro sign)");
        lastTextOk_ = false;
        return "";
    }
    if ((rules & kAnswerForms) && bytes.find('|') != std::string::npos) {
        return convertForms(bytes, line, key, rules, what);
    }
    bool ok = true;
    if (bytes.size() > static_cast<size_t>(kMaxTextBytes)) {
        error(line, key,
              what + " is " + std::to_string(bytes.size()) +
                  " bytes long in Windows-1252; the player holds at most 259",
              "shorten it by " + countOf(bytes.size() - kMaxTextBytes, "character"));
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
    if (bytes.find('\0') != std::string::npos) {
        error(line, key, what + " holds a NUL character (\\u0000), which would end it early",
              "remove the \\u0000");
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
        const std::string which = what + ": accepted form " + std::to_string(index);
        if (form.empty()) {
            warning(line, key,
                    which + " is empty (two '|' in a row, or one at an end): it is left out",
                    "remove the extra '|'");
        } else if (form.size() > static_cast<size_t>(kMaxTextBytes)) {
            error(line, key,
                  which + " is " + std::to_string(form.size()) +
                      " bytes long in Windows-1252; the player holds at most 259",
                  "shorten it by " + std::to_string(form.size() - kMaxTextBytes) + " characters");
            ok = false;
        } else {
            forms.push_back(form);
            written.push_back(index);
        }
        start = end + 1;
    }
    if (forms.size() > static_cast<size_t>(kMaxAnswerForms)) {
        error(line, key,
              what + " has " + std::to_string(forms.size()) +
                  " accepted forms; an answer has at most " + std::to_string(kMaxAnswerForms),
              "keep the " + std::to_string(kMaxAnswerForms) +
                  " that players are likeliest to type");
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
            warning(line, key,
                    what + ": accepted form " + std::to_string(written[j]) + " " +
                        quoteInput(cp1252ToUtf8(forms[j])) + " grades as form " +
                        std::to_string(written[i]) + " " + quoteInput(cp1252ToUtf8(forms[i])) +
                        (tolerances_ != 0 ? " (the case of a to z and the [grading] tolerances do "
                                            "not count)"
                                          : " (the case of a to z does not count)") +
                        ": it adds nothing",
                    "remove it");
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
                what + " is empty: the player grades an empty field \"?\", so "
                       "this answer can never be \"BRAVO\"",
                "give the expected answer");
    } else if (single && (answer.front() == ' ' || answer.back() == ' ')) {
        warning(line, key,
                what + " " + quoteInput(cp1252ToUtf8(answer)) +
                    " begins or ends with a blank; the player removes blanks around the "
                    "typed text, so it can never grade this answer \"BRAVO\"",
                "remove the blanks at either end");
    }
    for (const std::string& form : forms) {
        if (form.find_first_of("\r\n\t") != std::string::npos) {
            warning(line, key,
                    what + " holds a tab or line break, which cannot be typed into the "
                           "one-line answer field",
                    "replace it by a blank");
            break;
        }
    }
    for (const AnswerProblem& p : answerProblems(forms, tolerances_)) {
        add(p.severity, line, key, what + " " + p.message, p.hint);
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
          s ? "unknown value " + inQuotes(s->get())
            : std::string("must be a text in double quotes, not ") + typeName(*node),
          std::string("write ") + name + " = one of " + choices);
    return false;
}
