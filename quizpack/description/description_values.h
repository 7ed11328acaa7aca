// Reading the values of a quiz description: texts turned into Windows-1252 under the rules
// of the field they fill, names chosen from a list, unknown keys reported with the known
// key they were probably meant to be; every problem recorded with its line and key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <toml++/toml.h>

#include "quizpack/common/diagnostics.h"

// What a text may not hold, beyond being Windows-1252 and at most 259 bytes.
enum TextRule : unsigned {
    kPackageField = 1u << 0,   // a "|"-delimited package field: no "|"
    kCodeLine = 1u << 1,       // a CR LF-terminated code line: no CR or LF
    kExpectedAnswer = 1u << 2, // compared with typed text: warn about untypeable answers
    kAnswerForms = 1u << 3,    // "|" separates accepted forms instead of being refused
};

using KeyNames = std::vector<const char*>;

// "a table", "a string", ...: what the author wrote instead.
const char* typeName(const toml::node& node);
int lineOf(const toml::node& node);
// "question[3].answers" (1-based), "question[3]" for an empty key.
std::string questionKey(int q, const char* key);
std::string inQuotes(const std::string& utf8);

// The diagnostics of one description file, and the value readers that add to them.
class ValueReader {
  public:
    explicit ValueReader(std::string file) : file_(std::move(file)) {}

    void error(int line, const std::string& key, const std::string& message,
               const std::string& hint = "");
    void warning(int line, const std::string& key, const std::string& message,
                 const std::string& hint = "");
    void note(int line, const std::string& key, const std::string& message,
              const std::string& hint = "");

    // Warns of each key of `table` not in `known`, suggesting the nearest known key.
    void warnUnknownKeys(const toml::table& table, const KeyNames& known, const std::string& prefix,
                         const char* where);

    // The text of a string node in Windows-1252, checked against `rules`; "" after an error.
    std::string text(const toml::node& node, const std::string& key, unsigned rules,
                     const std::string& what);

    // An optional text key of a table; empty when absent.
    std::string optionalText(const toml::table& table, const char* name, const std::string& key,
                             unsigned rules, const std::string& what);

    // table[name] as an index into `names`; false when absent or (with an error) unknown.
    // Errors name the key `keyPrefix` + name ("grading.case").
    bool readName(const toml::table& table, const char* name, const KeyNames& names, int32_t* value,
                  const std::string& keyPrefix = "");

    // A UTF-8 text written at `line` (and the source's column), as text() reads a node.
    std::string convertText(const std::string& utf8, int line, const std::string& key,
                            unsigned rules, const std::string& what);

    // Where the values read next were written when not in the description itself: a cell
    // of the CSV file that holds the questions. Problems then name that file and column.
    struct Source {
        std::string file; // empty: the description
        int column = 0;   // 0: none
    };
    void setSource(Source source) { source_ = std::move(source); }
    const Source& source() const { return source_; }
    const std::string& sourceFile() const { return source_.file.empty() ? file_ : source_.file; }

    // Whether the text read last broke none of its rules.
    bool lastTextOk() const { return lastTextOk_; }

    // The quiz's tolerances (GradingTolerance bits), read before its answers: what check says
    // of an answer depends on them.
    void setTolerances(uint32_t tolerances) { tolerances_ = tolerances; }
    uint32_t tolerances() const { return tolerances_; }

  protected:
    std::vector<Diagnostic> diagnostics_;

  private:
    void add(Severity severity, int line, const std::string& key, const std::string& message,
             const std::string& hint);
    std::string convert(const std::string& utf8, int line, const std::string& key, unsigned rules,
                        const std::string& what);
    bool refuseNul(const std::string& bytes, int line, const std::string& key,
                   const std::string& what);
    std::string convertForms(const std::string& bytes, int line, const std::string& key,
                             unsigned rules, const std::string& what);
    void warnDuplicateForms(const std::vector<std::string>& forms, const std::vector<int>& written,
                            int line, const std::string& key, const std::string& what);
    void checkExpectedAnswer(const std::vector<std::string>& forms, int line,
                             const std::string& key, const std::string& what);

    std::string file_;
    Source source_;
    bool lastTextOk_ = true;
    uint32_t tolerances_ = 0;
};
