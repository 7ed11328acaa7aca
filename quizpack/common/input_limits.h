// Bounds on what quizpack takes from a stream and echoes back, so that hostile or mistaken
// input gets a clear error instead of endless work, unbounded memory or a message of a
// megabyte: the length of input quoted in a message, and of a line read from a stream.
// (Descriptions are bounded before the TOML parser in description_screen.h.)
#pragma once

#include <cstddef>
#include <cstdio>
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

// excerpt() in double quotes (named apart from std::quoted, which argument lookup finds),
// its control characters written as escapes (see printable): "\"Paris\"",
// "\"aaaa...\" (1048576 bytes)", "\"media\\nouveau.jpg\"" for a path holding a line break.
std::string quoteInput(std::string_view text);

// `text` with each control character (C0 and DEL) written as \n, \r, \t, \0 or \xNN, so
// that a message shows it instead of breaking its line, or ending it early at a NUL.
std::string printable(std::string_view text);

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
