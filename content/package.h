// Quiz package and code table: the byte layouts of "PATCH" 104 and 105 once unpacked.
// Portable: bytes in, Quiz out (and back, for the authoring tool).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "content/quiz.h"

// What a reader found wrong with its bytes. The reader never reads outside the bytes
// nor writes outside the Quiz's texts and codes; it shortens what the model cannot hold
// and reports it here. 0 means the content was well-formed.
enum ContentProblem : uint32_t {
    CONTENT_OK = 0,
    CONTENT_TRUNCATED = 1u << 0,          // the bytes end before the counts say they should
    CONTENT_TEXT_TOO_LONG = 1u << 1,      // a field or code line over 259 bytes (cut to 259)
    CONTENT_BAD_ANSWER_COUNT = 1u << 2,   // answers-per-question byte other than 1 or 2
    CONTENT_BAD_QUIZ_TYPE = 1u << 3,      // quiz-type byte outside 1..4
    CONTENT_TOO_MANY_QUESTIONS = 1u << 4, // question count above 90 (cut to 90)
    CONTENT_OUT_OF_MEMORY = 1u << 5,      // a question node could not be allocated
};

constexpr uint8_t kFieldEnd = '|';
constexpr uint8_t kCodeLineEnd = '\r';

// Background of a package whose colour bytes are missing: white keeps the board readable.
constexpr uint32_t kMissingColour = 0x00FFFFFF;

// One forward-only reading position over unpacked bytes; `length` is their exact count.
struct ByteCursor {
    const uint8_t* bytes;
    int32_t length;
    int32_t position;
};

// Collects the bytes from the cursor up to the next `endByte` into `text` (260 bytes,
// always terminated) and leaves the cursor on the end byte; the caller steps over it.
// Zero bytes add nothing to the text. Returns CONTENT_TEXT_TOO_LONG when more than 259
// bytes had to be dropped, CONTENT_TRUNCATED when the bytes end before `endByte` (the
// cursor is then at the end and `text` holds what was found).
uint32_t readField(ByteCursor* cursor, uint8_t endByte, char* text);

// Reads an unpacked quiz package into a freshly initialised Quiz (texts, questions, reveal
// texts, colour; no brush). Whatever the bytes, the Quiz comes back consistent: quizType
// 0..3, answersPerQuestion 1 or 2, at most 90 questions and questionCount equal to the
// nodes built. Fields cut off by the end of the bytes are dropped, and so is a question
// with any such field. Returns a mask of ContentProblem bits.
uint32_t readPackage(const uint8_t* bytes, int32_t length, Quiz* quiz);

// Reads an unpacked code table: quiz->questionCount lines of "code CR LF" (at most 90).
// A line cut off by the end of the bytes leaves its code empty. Returns a mask of
// ContentProblem bits.
uint32_t readCodeTable(const uint8_t* bytes, int32_t length, Quiz* quiz);

// Fills a freshly initialised Quiz with the built-in fallback quiz.
void fillFallbackQuiz(Quiz* quiz);

// The inverse of readPackage: lays out the quiz's package bytes (before packing).
// Byte 0 is written as 0. In reveal mode 3 each question's second reveal field is written
// empty. Texts are written as stored (the caller keeps them free of '|').
std::vector<uint8_t> layOutPackage(const Quiz& quiz);

// The inverse of readCodeTable: questionCount lines "code\r\n".
std::vector<uint8_t> layOutCodeTable(const Quiz& quiz);

// Writes into `text` (capacity bytes, always terminated, cut when full) `lead` followed by
// a French description of each problem in `problems`, e.g.
// "Le quizz est endommag\xE9 : donn\xE9es incompl\xE8tes, texte trop long."
void describeContentProblems(const char* lead, uint32_t problems, char* text, size_t capacity);
