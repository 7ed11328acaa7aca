#include "quizpack/description/description_syntax.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/media/media_formats.h"
#include "quizpack/common/messages.h"

namespace {

const char kSaveAsUtf8[] =
    N_("save the file as UTF-8 (in Notepad: File > Save as, Encoding: UTF-8)");

std::string hexByte(unsigned char byte) {
    char text[8];
    snprintf(text, sizeof text, "0x%02X", byte);
    return text;
}

Diagnostic encodingError(const std::string& file, int line, const std::string& message) {
    return Diagnostic{file, line, "", Severity::Error, message, tr(kSaveAsUtf8)};
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

// The 0-based position of a line's first character that is not a blank.
size_t indentation(std::string_view line) {
    size_t i = line.find_first_not_of(" \t\r");
    return i == std::string_view::npos ? line.size() : i;
}

bool holdsNothing(std::string_view line) {
    size_t i = indentation(line);
    return i == line.size() || line[i] == '#';
}

bool mentions(const std::string_view& description, const char* part) {
    return description.find(part) != std::string_view::npos;
}

// A value that goes on right after its closing quote, as in title = 'L'Europe' or
// "Le "Louvre"": the text held the quote that ended it. How to write it instead, or none.
std::optional<std::string> quoteClosedEarly(const std::vector<std::string_view>& lines, int line,
                                            size_t column) {
    if (line < 1 || static_cast<size_t>(line) > lines.size() || column < 2) {
        return std::nullopt;
    }
    const std::string_view text = lines[static_cast<size_t>(line) - 1];
    const char quote = column - 2 < text.size() ? text[column - 2] : '\0';
    const unsigned char next =
        column - 1 < text.size() ? static_cast<unsigned char>(text[column - 1]) : ' ';
    if ((quote != '\'' && quote != '"') || next == ' ' || next == '\t' || next == '\r' ||
        next == ',' || next == ']' || next == '#') {
        return std::nullopt;
    }
    // The text as the author meant it: from its opening quote to the last quote of the line.
    const size_t open = text.find(quote);
    const size_t close = text.find_last_of(quote);
    std::string meant = close > open && open + 1 < column - 1
                            ? std::string(text.substr(open + 1, close - open - 1))
                            : std::string();
    if (quote == '\'') {
        return tr("a text in single quotes cannot hold an apostrophe: write it in double "
                  "quotes, {text}",
                  {{"text", quoteInput(meant)}});
    }
    std::string escaped;
    for (char c : meant) {
        escaped += c == '"' ? std::string("\\\"") : std::string(1, c);
    }
    return tr("write a quote inside a text in double quotes as \\\", {text}, or the text in "
              "single quotes",
              {{"text", quoteInput(escaped)}});
}

} // namespace

std::optional<Diagnostic> findEncodingProblem(std::string_view text, const std::string& file) {
    if (const char* document = documentKind(text)) {
        return Diagnostic{file,
                          1,
                          "",
                          Severity::Error,
                          tr("the description is {kind}, not plain text: quizpack reads a text "
                             "file",
                             {{"kind", document}}),
                          tr("write the description in Notepad (or another plain-text editor) "
                             "and save it as UTF-8; a word processor keeps its own format "
                             "whatever the file's name (in Word: File > Save as, type Plain "
                             "text, encoding UTF-8)")};
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    if (size >= 2 &&
        ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        return encodingError(file, 1,
                             tr("the description is saved as UTF-16 (it begins with a UTF-16 "
                                "byte order mark); quizpack reads UTF-8 text"));
    }
    size_t i = size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    int line = 1;
    size_t column = 1;
    while (i < size) {
        if (bytes[i] == 0) {
            return encodingError(file, line,
                                 tr("the description holds NUL bytes (column {column}), as a "
                                    "file saved as UTF-16 does; quizpack reads UTF-8 text",
                                    {{"column", column}}));
        }
        const size_t length = utf8CharacterLength(text, i);
        if (length == 0) {
            const std::string asWindows = cp1252ToUtf8(std::string(1, text[i]));
            return encodingError(
                file, line,
                tr("not UTF-8 text: byte {byte} at column {column} "
                   "(\"{character}\" in Latin-1 or Windows-1252, the encoding "
                   "the file was probably saved in)",
                   {{"byte", hexByte(bytes[i])}, {"column", column}, {"character", asWindows}}));
        }
        if (bytes[i] == '\n') {
            ++line;
            column = 0;
        }
        i += length;
        ++column;
    }
    return std::nullopt;
}

std::string backslashPathHint(const std::string& whole) {
    const std::string path = excerpt(whole);
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    return tr("write the path with / or in single quotes, where \\ separates folders on every "
              "system: \"{slashed}\" or '{path}'",
              {{"slashed", slashed}, {"path", path}});
}

Diagnostic describeSyntaxError(const toml::parse_error& error, std::string_view text,
                               const std::string& file) {
    const std::string_view description = error.description();
    int line = static_cast<int>(error.source().begin.line);
    const size_t column = error.source().begin.column;
    // TRANSLATORS: {reason} is the TOML parser's own English description of the mistake.
    std::string message = tr("not valid TOML: {reason}", {{"reason", excerpt(description, 200)}});

    std::string hint = tr("column {column}; texts go in double quotes, each key once per table, "
                          "questions as [[question]] tables",
                          {{"column", column}});

    const std::vector<std::string_view> lines = splitLines(text);
    const bool startsItsLine = line >= 1 && static_cast<size_t>(line) <= lines.size() &&
                               column == indentation(lines[line - 1]) + 1;
    const bool listRunsOn = mentions(description, "closing ']'") && startsItsLine;
    const bool listAtEnd =
        mentions(description, "parsing array") && mentions(description, "end-of-file");
    if (listRunsOn || listAtEnd) {
        // A list may run over several lines, so the parser only stops at the next key (or
        // the end of the file): the ']' belongs after the last thing written before it.
        int open = listRunsOn ? line - 1 : std::min<int>(line, static_cast<int>(lines.size()));
        while (open >= 1 && holdsNothing(lines[open - 1])) {
            --open;
        }
        if (open >= 1) {
            message = listRunsOn
                          ? tr("not valid TOML: a ']' is missing at the end of this line: the "
                               "list on it is not closed, so the parser read on into line {line}",
                               {{"line", line}})
                          : tr("not valid TOML: a ']' is missing at the end of this line: the "
                               "list on it is not closed, so the parser read on to the end of "
                               "the file");
            hint =
                tr("close the list, for example answers = [\"Paris\"] or codes = [\"A\", \"B\"]");
            line = open;
        }
    } else if (const std::optional<std::string> closed = quoteClosedEarly(lines, line, column)) {
        message = tr("not valid TOML: the text ends at the quote before column {column}, and the "
                     "rest of it is left over",
                     {{"column", column}});
        hint = *closed;
    } else if (mentions(description, "escape sequence")) {
        hint = tr("column {column}: in double quotes a \\ begins an escape such as \\n; {how}",
                  {{"column", column}, {"how", backslashPathHint("media\\q01.jpg")}});
    } else if (mentions(description, "control characters") ||
               (mentions(description, "parsing string") && mentions(description, "end-of-file"))) {
        hint = tr("column {column}: a text in double quotes must end with \" on the same line",
                  {{"column", column}});
    } else if (mentions(description, "utf-8")) {
        hint = tr(kSaveAsUtf8);
    }
    return Diagnostic{file, line, "", Severity::Error, message, hint};
}
