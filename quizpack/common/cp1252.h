// UTF-8 <-> Windows-1252, the player's single-byte character set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct Cp1252Error {
    size_t position = 0;      // 1-based character position in the UTF-8 text
    uint32_t codepoint = 0;   // the character that has no Windows-1252 byte
    bool invalidUtf8 = false; // the text is not valid UTF-8 at that position
};

// The length of the UTF-8 character at text[at] (at < text.size()), 1 for ASCII, or 0 where
// the text is not UTF-8: a cut or malformed sequence, an overlong form, a surrogate or a
// value above U+10FFFF. Its code point goes to *codepoint when that is not null.
size_t utf8CharacterLength(std::string_view text, size_t at, uint32_t* codepoint = nullptr);

// Converts UTF-8 to Windows-1252. On failure returns false, leaves *out unspecified and
// describes the first offending character in *error.
bool utf8ToCp1252(std::string_view utf8, std::string* out, Cp1252Error* error);

// UTF-8 as a Windows edit box of the player holds it once typed: each character Windows-1252
// lacks (or a NUL, or a byte that is not UTF-8) becomes '?'. Always succeeds.
std::string utf8ToCp1252AsTyped(std::string_view utf8);

// Converts Windows-1252 bytes to UTF-8. Every byte has a character (the five bytes that
// Windows-1252 leaves undefined map to the C1 controls of the same value, as Windows does),
// so the conversion always succeeds and round-trips.
std::string cp1252ToUtf8(std::string_view bytes);
// The Unicode code point of one Windows-1252 byte, as cp1252ToUtf8 converts it.
uint32_t cp1252CodePoint(unsigned char byte);

// How a Windows-1252 letter or digit is spelt in ASCII once its accent is dropped, in its own
// case: "A" for 'A' and 'À', "ae" for 'æ', "ss" for 'ß'; empty for every other byte.
std::string_view asciiSpelling(unsigned char byte);

// "U+0141 'Ł'" for messages (the character itself only when it is printable).
std::string describeCodepoint(uint32_t codepoint);

// A ready-made message: "character 3 U+0141 'Ł' has no Windows-1252 equivalent; ..." or
// "character 3 is not valid UTF-8 (byte 0xFF); ...".
std::string describeCp1252Error(const Cp1252Error& error);
