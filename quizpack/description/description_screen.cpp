#include "quizpack/description/description_screen.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"

namespace {

bool isBareKeyByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

// One pass that tells strings and comments apart from the rest as TOML does, and follows
// little grammar beyond that (where a value begins), so it cannot lose its way on text the
// parser would refuse: a dotted chain anywhere counts, and so does every bracket.
class Screen {
  public:
    explicit Screen(std::string_view text) : t_(text) {}

    std::optional<DescriptionProblem> run(std::string* parserText) {
        if (t_.substr(0, 3) == "\xEF\xBB\xBF") {
            i_ = 3; // a byte-order mark, which the parser skips
        }
        while (i_ < t_.size() && !problem_) {
            step();
        }
        if (!problem_) {
            rewrite(parserText);
        }
        return problem_;
    }

  private:
    struct Escape {
        size_t at, length;
        uint32_t codepoint;
    };

    std::string_view t_;
    size_t i_ = 0;
    int line_ = 1;
    std::vector<char> open_;   // '[' arrays, '{' inline tables, 'h' a table header
    bool expectValue_ = false; // after '=', or in an array after '[' or ','
    int parts_ = 0;            // simple keys in the current dotted chain
    size_t chainStart_ = 0;    // where that chain began
    bool afterPart_ = false;
    bool afterDot_ = false;
    bool lineStart_ = true; // only blanks so far on this line
    std::vector<Escape> escapes_;
    std::optional<DescriptionProblem> problem_;

    bool at(const char* s) const { return t_.compare(i_, strlen(s), s) == 0; }
    unsigned char byteAt(size_t p) const {
        return p < t_.size() ? static_cast<unsigned char>(t_[p]) : 0;
    }

    void refuse(const std::string& message, const std::string& hint, const char* key = "") {
        problem_ = DescriptionProblem{line_, message, hint, key};
    }

    void step() {
        const unsigned char c = byteAt(i_);
        const size_t start = i_;
        const bool firstOnLine = lineStart_;
        lineStart_ = false;
        if (c == ' ' || c == '\t') {
            ++i_; // blanks may surround the dots of a key
            lineStart_ = firstOnLine;
            return;
        }
        if (c == '#') {
            while (i_ < t_.size() && t_[i_] != '\n') {
                ++i_;
            }
            breakChain();
            return;
        }
        if (c == '\n') {
            ++i_;
            ++line_;
            lineStart_ = true;
            breakChain();
            return; // a value may still follow, in an array
        }
        const bool value = expectValue_;
        expectValue_ = false;
        if (value && c == '}') {
            // The parser asserts on a '}' where an array's next value belongs.
            refuse(tr("a '}' stands where a value belongs"),
                   tr("close an array with ] and an inline table with }, as in answers = "
                      "[\"a\"]"));
            return;
        }
        if (value && c != '"' && c != '\'' && c != '[' && c != '{' && c != ']' && c != ',') {
            scanValueWord();
            breakChain();
        } else if (isBareKeyByte(c)) {
            while (isBareKeyByte(byteAt(i_))) {
                ++i_;
            }
            simpleKey(start);
        } else if (at("\"\"\"")) {
            skipMultiLineBasicString();
            breakChain();
        } else if (at("'''")) {
            skipMultiLineLiteralString();
            breakChain();
        } else if (c == '"' || c == '\'') {
            skipOneLineString(t_[i_]);
            simpleKey(start);
        } else if (c == '.') {
            ++i_;
            afterDot_ = afterPart_;
            afterPart_ = false;
        } else if (c >= 0x80) {
            refuseBeyondAscii();
        } else {
            ++i_;
            breakChain();
            punctuation(c, firstOnLine, start);
        }
    }

    void punctuation(unsigned char c, bool firstOnLine, size_t start) {
        const char inside = open_.empty() ? '\0' : open_.back();
        if (c == '=') {
            expectValue_ = true;
        } else if (c == ',') {
            expectValue_ = inside == '[';
        } else if (c == '[' && firstOnLine && open_.empty()) {
            checkHeaderStart(start);
            checkSingleBracketQuestion(start);
            open('h');
        } else if (c == '[' || c == '{') {
            open(static_cast<char>(c));
            expectValue_ = c == '[';
        } else if ((c == ']' || c == '}') && !open_.empty()) {
            open_.pop_back();
        }
    }

    // A value that is no text, array or table (a number, date, boolean): the parser reads
    // it up to a blank, bracket, comma or comment whatever it holds, quotes too, asking of
    // each character whether it is blank.
    void scanValueWord() {
        for (; i_ < t_.size(); ++i_) {
            const unsigned char c = byteAt(i_);
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ']' || c == '}' ||
                c == ',' || c == '#') {
                return;
            }
            if (c >= 0x80) {
                refuseBeyondAscii();
                return;
            }
        }
    }

    void breakChain() { afterPart_ = afterDot_ = false; }

    void simpleKey(size_t start) {
        if (afterDot_) {
            ++parts_;
        } else {
            parts_ = 1;
            chainStart_ = start;
        }
        afterDot_ = false;
        afterPart_ = true;
        if (parts_ > kMaxKeyParts) {
            refuse(tr("the key or table header {key} has more than {most} dotted parts; a "
                      "description's keys have one part each",
                      {{"key", quoteInput(t_.substr(chainStart_, i_ - chainStart_))},
                       {"most", kMaxKeyParts}}),
                   tr("write each key as one name, as in title = \"...\" or [[question]]"));
        }
    }

    void open(char kind) {
        open_.push_back(kind);
        if (open_.size() > static_cast<size_t>(kMaxNesting)) {
            refuse(tr("arrays or inline tables are nested more than {most} deep; a description "
                      "needs one level, as in answers = [\"...\"]",
                      {{"most", kMaxNesting}}),
                   tr("close each [ with ] and each { with }"));
        }
    }

    // Keys, numbers and the other words of TOML are ASCII; letters beyond go in quotes.
    void refuseBeyondAscii() {
        uint32_t codepoint = 0;
        const size_t length = utf8CharacterLength(t_, i_, &codepoint);
        char byte[8];
        snprintf(byte, sizeof byte, "0x%02X", byteAt(i_));
        refuse(length > 0 ? tr("the character {character} stands outside quotes; letters beyond "
                               "ASCII belong in a text",
                               {{"character", quoteInput(t_.substr(i_, length))}})
                          : tr("the byte {byte} is not UTF-8 text; save the description as UTF-8",
                               {{"byte", byte}}),
               tr("put texts in double quotes, as in title = \"Capitales d'Europe\""));
    }

    // After "[" or "[[" and blanks a table header's key begins with a bare-key character
    // or a quote, or is missing, which the parser reports itself; anything else it would
    // read as a key all the same.
    void checkHeaderStart(size_t header) {
        size_t p = i_;
        const auto skipBlanks = [&] {
            while (byteAt(p) == ' ' || byteAt(p) == '\t') {
                ++p;
            }
        };
        skipBlanks();
        if (byteAt(p) == '[') {
            ++p;
            skipBlanks();
        }
        const unsigned char c = p < t_.size() ? byteAt(p) : ']';
        if (isBareKeyByte(c) || c == '"' || c == '\'' || c == ']') {
            return;
        }
        refuse(tr("the table header {header} does not begin with a name",
                  {{"header", quoteInput(t_.substr(header, t_.find('\n', header) - header))}}),
               tr("begin each question with the line [[question]]"));
    }

    // [question] opens one table, where every question needs its own [[question]]: the parser
    // would take the questions for the keys of that one table, or refuse the second header
    // as a table defined again, on a line that is not the one to mend.
    void checkSingleBracketQuestion(size_t header) {
        if (!isSingleBracketQuestion(header)) {
            return;
        }
        constexpr int kLinesNamed = 5;
        std::string others;
        int line = line_;
        int count = 0;
        for (size_t at = t_.find('\n', header); at != std::string_view::npos;
             at = t_.find('\n', at + 1)) {
            ++line;
            if (isSingleBracketQuestion(t_.find_first_not_of(" \t", at + 1))) {
                if (++count > kLinesNamed) {
                    others += ", ...";
                    break;
                }
                others += (others.empty() ? "" : ", ") + std::to_string(line);
            }
        }
        refuse(others.empty() ? tr("[question] has one bracket: it opens a single table, and "
                                   "every question needs a [[question]] table of its own")
                              : tr("[question] has one bracket: it opens a single table, and "
                                   "every question needs a [[question]] table of its own (also "
                                   "on line {lines})",
                                   {{"lines", others}}),
               tr("write [[question]], with two brackets on each side, before each question"),
               "question");
    }

    bool isSingleBracketQuestion(size_t at) const {
        const auto blanksFrom = [&](size_t p) {
            while (byteAt(p) == ' ' || byteAt(p) == '\t') {
                ++p;
            }
            return p;
        };
        if (at == std::string_view::npos || byteAt(at) != '[' || byteAt(at + 1) == '[') {
            return false;
        }
        const size_t name = blanksFrom(at + 1);
        const size_t close = blanksFrom(name + 8);
        return t_.compare(name, 8, "question") == 0 && byteAt(close) == ']' &&
               byteAt(close + 1) != ']';
    }

    // A one-line string ends at its closing quote or, unclosed, before the line end.
    void skipOneLineString(char quote) {
        ++i_;
        while (i_ < t_.size() && t_[i_] != quote && t_[i_] != '\n') {
            if (quote == '"' && t_[i_] == '\\' && byteAt(i_ + 1) != '\n') {
                ++i_;
            }
            ++i_;
        }
        if (i_ < t_.size()) {
            i_ += t_[i_] == quote;
        }
    }

    // At a quote inside a """ or ''' text: true (and past it) when it closes the text. Up
    // to two more quotes before the closing ones belong to the text ("""a""""" is a"").
    bool closes(char quote) {
        size_t run = 0;
        while (byteAt(i_ + run) == static_cast<unsigned char>(quote) && run < 5) {
            ++run;
        }
        i_ += run;
        return run >= 3;
    }

    void skipMultiLineLiteralString() {
        for (i_ += 3; i_ < t_.size();) {
            if (t_[i_] == '\'') {
                if (closes('\'')) {
                    return;
                }
                continue;
            }
            line_ += t_[i_] == '\n';
            ++i_;
        }
    }

    void skipMultiLineBasicString() {
        for (i_ += 3; i_ < t_.size() && !problem_;) {
            if (t_[i_] == '"') {
                if (closes('"')) {
                    return;
                }
                continue;
            }
            if (t_[i_] == '\\') {
                escape();
                continue;
            }
            line_ += t_[i_] == '\n';
            ++i_;
        }
    }

    // At a backslash in a """ text. The parser asks whether the next character is blank
    // with a function that is undefined beyond ASCII: for the escaped character, for one
    // after blanks, and for the first one a line-ending backslash leads to.
    void escape() {
        size_t p = i_ + 1;
        while (byteAt(p) == ' ' || byteAt(p) == '\t') {
            ++p;
        }
        if (byteAt(p) == '\n' || byteAt(p) == '\r') {
            // A line-ending backslash: the text goes on after every blank and line end.
            while (byteAt(p) == ' ' || byteAt(p) == '\t' || byteAt(p) == '\r' ||
                   byteAt(p) == '\n') {
                line_ += t_[p] == '\n';
                ++p;
            }
            i_ = p;
            uint32_t codepoint = 0;
            if (const size_t length =
                    byteAt(i_) >= 0x80 ? utf8CharacterLength(t_, i_, &codepoint) : 0) {
                escapes_.push_back(Escape{i_, length, codepoint});
                i_ += length;
            }
            return;
        }
        if (byteAt(p) >= 0x80) {
            uint32_t codepoint = 0;
            const size_t length = utf8CharacterLength(t_, p, &codepoint);
            refuse(length > 0 ? tr("a backslash before {character} is no escape",
                                   {{"character", quoteInput(t_.substr(p, length))}})
                              : tr("a backslash before a byte beyond ASCII is no escape"),
                   tr("write a backslash as \\\\, or end the line with the backslash"));
            return;
        }
        i_ = p == i_ + 1 ? p + 1 : p; // the escaped character, or what follows the blanks
    }

    void rewrite(std::string* parserText) const {
        parserText->clear();
        size_t from = 0;
        for (const Escape& e : escapes_) {
            char escaped[16];
            snprintf(escaped, sizeof escaped, e.codepoint > 0xFFFF ? "\\U%08X" : "\\u%04X",
                     static_cast<unsigned>(e.codepoint));
            parserText->append(t_.substr(from, e.at - from));
            parserText->append(escaped);
            from = e.at + e.length;
        }
        parserText->append(t_.substr(from));
    }
};

} // namespace

std::optional<DescriptionProblem> findDescriptionSizeProblem(uint64_t bytes) {
    if (bytes <= kMaxDescriptionBytes) {
        return std::nullopt;
    }
    return DescriptionProblem{
        0,
        tr("the description is {size} ({bytes} bytes); a quiz description is at most {most}",
           {{"size", formatSize(bytes)},
            {"bytes", bytes},
            {"most", formatSize(kMaxDescriptionBytes)}}),
        tr("give the quiz's TOML description (90 questions of short texts fit in a few "
           "kilobytes)"),

        ""};
}

std::optional<DescriptionProblem> screenDescription(std::string_view text,
                                                    std::string* parserText) {
    if (auto tooLarge = findDescriptionSizeProblem(text.size())) {
        return tooLarge;
    }
    return Screen(text).run(parserText);
}
