// What a description must be before the TOML parser (toml++ 3.3) sees it. The parser
// recurses once per dotted key part and per nesting level, and some of its checks are
// assertions or "unreachable" marks that hostile text reaches: a header "[[[a]]", a
// letter beyond ASCII outside quotes, or one right after a line-ending backslash. The
// screen refuses what no description needs, with its line, and hands the parser a text
// that avoids the rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A description of 90 questions with every text at its 259-character limit, written in
// \u escapes, stays under 600 KB; anything far larger is not a quiz description.
constexpr size_t kMaxDescriptionBytes = 1024 * 1024;
// A description uses keys of one part and [[question]] headers; dotted keys of more parts
// only deepen the tables the parser builds.
constexpr int kMaxKeyParts = 8;
// answers = ["..."] is one level of arrays and inline tables.
constexpr int kMaxNesting = 8;

struct DescriptionProblem {
    int line = 0; // 1-based; 0 for the whole file
    std::string message;
    std::string hint;
    std::string key; // the description's key it concerns, if one
};

// A description file of `bytes` bytes that is too large to be read at all.
std::optional<DescriptionProblem> findDescriptionSizeProblem(uint64_t bytes);

// Screens `text` in one pass that never recurses, telling strings and comments apart as
// TOML does. Returns the first problem: a text over kMaxDescriptionBytes, a key or table
// header of more than kMaxKeyParts dotted parts, arrays and inline tables nested more
// than kMaxNesting deep, a table header that does not begin with a name, a character
// beyond ASCII outside quotes and comments, or a backslash before one in a """ text.
// Otherwise fills *parserText with the text to parse: `text` itself, except that the
// first character of a line continued by a backslash in a """ text, when it is beyond
// ASCII, is written as its \u escape (the same text, on the same lines).
std::optional<DescriptionProblem> screenDescription(std::string_view text, std::string* parserText);
