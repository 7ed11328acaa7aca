// Bounds on what quizpack takes from an author or a stream, so that hostile or mistaken
// input gets a clear error instead of endless work, unbounded memory or a crash: the
// size and shape of a description before the TOML parser sees it, the length of a line
// read from a stream, and the length of input echoed in a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ---- input quoted in messages ------------------------------------------------------------

// Characters of input a message echoes; longer input is cut there.
constexpr size_t kExcerptCharacters = 80;
// Paths are echoed longer: a real path rarely exceeds the 260 of Windows' MAX_PATH.
constexpr size_t kPathExcerptCharacters = 300;

// `text` as a message echoes it: whole when it has at most `maxCharacters` UTF-8
// characters, else its first ones (never half a character), "..." and its length in
// bytes ("aaaa..." (1048576 bytes)).
std::string excerpt(std::string_view text, size_t maxCharacters = kExcerptCharacters);

// excerpt() in double quotes (named apart from std::quoted, which argument lookup finds):
// "\"Paris\"", "\"aaaa...\" (1048576 bytes)".
std::string quoteInput(std::string_view text);

// ---- descriptions ------------------------------------------------------------------------

// A description of 90 questions with every text at its 259-character limit, written in
// \u escapes, stays under 600 KB; anything far larger is not a quiz description.
constexpr size_t kMaxDescriptionBytes = 1024 * 1024;
// A description uses keys of one part and [[question]] headers; dotted keys of more parts
// only deepen the tables the parser builds (it recurses once per part).
constexpr int kMaxKeyParts = 8;
// answers = ["..."] is one level; the parser recurses once per level as well.
constexpr int kMaxNesting = 8;

struct DescriptionLimitProblem {
    int line = 0; // 1-based; 0 for the whole file
    std::string message;
    std::string hint;
};

// A description file of `bytes` bytes that is too large to be read at all.
std::optional<DescriptionLimitProblem> findDescriptionSizeProblem(uint64_t bytes);

// The first place where `text` exceeds the bounds above: its size, a key or table header
// of more than kMaxKeyParts dotted parts, or arrays and inline tables nested more than
// kMaxNesting deep. Strings and comments are skipped as TOML reads them; the scan never
// recurses, so it is safe on any bytes. Nothing when the text is within bounds.
std::optional<DescriptionLimitProblem> findDescriptionLimitProblem(std::string_view text);

// ---- lines of a stream -------------------------------------------------------------------

enum class LineRead {
    Line,    // *line holds the next line, without its "\n"
    End,     // the stream ended (nothing read)
    TooLong, // maxBytes bytes came without a line end; *line holds them
    Failed,  // a read error (errno tells)
};

// The lines of a stream, each held to at most `maxBytes` bytes, so that an endless
// stream without line ends (/dev/zero) stops with TooLong instead of filling memory.
class LineReader {
  public:
    LineReader(FILE* in, size_t maxBytes);
    // The next line into *line; the last line of a stream may lack its "\n".
    LineRead next(std::string* line);

  private:
    FILE* in_;
    size_t maxBytes_;
    std::vector<char> buffer_;
    size_t start_ = 0, end_ = 0; // the unread part of buffer_
};
