// The grading extras: "PATCH" 106 once unpacked, which carries what a quiz adds to the quiz
// package and the code table: the accepted forms of its answers beyond the first, the
// tolerances of its grading and the author's own link. docs/grading-extras.md gives the
// byte layout. Portable: bytes in, Quiz out (and back, for the authoring tool).
#pragma once

#include <cstdint>
#include <vector>

#include "content/quiz.h"

constexpr uint8_t kGradingExtrasVersion = 1;

// What made a reader refuse the bytes; nothing of them is kept then.
enum ExtrasProblem : uint32_t {
    EXTRAS_OK = 0,
    EXTRAS_UNKNOWN_VERSION, // byte 0 is not kGradingExtrasVersion
    EXTRAS_BAD_TOLERANCES,  // bits outside kAllTolerances
    EXTRAS_BAD_LINK,        // a link byte other than 0 or 1, or an address that is not http(s)
    EXTRAS_TRUNCATED,       // the bytes end before their counts say they should
    EXTRAS_BAD_FIELD,       // a field index out of the quiz, or not after the one before
    EXTRAS_BAD_FORM,        // a form count outside 1..7, or a form empty or over 259 bytes
    EXTRAS_TRAILING_BYTES,  // bytes after the last entry
    EXTRAS_OUT_OF_MEMORY,   // the forms could not be stored
};

// Reads unpacked grading extras into a Quiz whose questions the package has given (its
// answersPerQuestion and question list): the other forms of its answers, its tolerances and
// its link. The bytes are checked whole first: unless the result is EXTRAS_OK, the Quiz is
// left exactly as it was (exact grading, the program's own link). Every read stays inside
// `length` bytes.
ExtrasProblem readGradingExtras(const uint8_t* bytes, int32_t length, Quiz* quiz);

// Whether the quiz has anything the extras carry: other forms, a tolerance or its own link.
bool hasGradingExtras(const Quiz& quiz);

// The inverse of readGradingExtras (nothing when hasGradingExtras is false): laid out as
// docs/grading-extras.md says, fields in increasing order.
std::vector<uint8_t> layOutGradingExtras(const Quiz& quiz);

// Whether a link may be shown and opened: empty, or an http:// or https:// address (any case)
// of printable characters without blanks.
bool isAcceptedLink(const char* link);
