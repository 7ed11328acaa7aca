// The answers file's format: its name, its lines, and reading them back. Portable.
//
// One line per answer field, in the order of the fields (4001, 4002, ...): the field's text,
// at most 259 characters, or "*" when the field is empty, then CR LF. Windows-1252, no header.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr int kAnswerTextCapacity = 260; // 259 characters and the terminator
constexpr int kAnswerLineCapacity = 262; // 259 characters, CR, LF and the terminator
constexpr int kMaxAnswerFields = 180;    // 90 questions of two answers

// Moves the part of `path` after its last backslash to the start of `path`, in place
// (a path without a backslash is left as it is).
void keepBaseName(char* path);

// The answers file name of a program file named `programName` (no directory): the name with
// its last three characters replaced by t, x, t, so quiz.exe uses quiz.txt and a name
// without an extension loses its last three characters. Written into `name` (`capacity`
// bytes). False, with `name` empty when capacity allows, when the program name has fewer than
// three characters or the result does not fit.
bool answersFileName(const char* programName, char* name, size_t capacity);

// The number of answer lines of a quiz: answersPerQuestion x questionCount, 0 when either
// is not positive, never more than kMaxAnswerFields.
int answerFieldCount(int answersPerQuestion, int questionCount);

// The line saved for a field showing `fieldText`: its first 259 characters, or "*" when it
// is empty, then CR LF, into `line` (kAnswerLineCapacity bytes, zero-terminated). Returns the
// number of bytes to write, terminator not counted.
int formatAnswerLine(const char* fieldText, char* line);

// The next line of `file` into `text` (kAnswerTextCapacity bytes): at most its first 259
// characters, without the line end (LF or CR LF; the file is opened in binary mode),
// the rest of a longer line skipped so that each call consumes exactly one line. A line "*"
// gives an empty text. The last line may lack its line end. False, with `text` empty, when
// no line is left.
bool readAnswerLine(FILE* file, char* text);
