// Problems that stop a description before any key is read: a file that is not UTF-8 text,
// and TOML syntax errors. Each is placed on the line the author has to change and says in
// plain words how to change it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <toml++/toml.h>

#include "quizpack/common/diagnostics.h"

// A description saved by a word processor (Word, WordPad: documentKind), as UTF-16 (a byte
// order mark, or the NUL bytes of its ASCII letters) or holding bytes that are not UTF-8
// (Latin-1, Windows-1252): the error, with its line. None for UTF-8 text, with or without
// a byte order mark.
std::optional<Diagnostic> findEncodingProblem(std::string_view text, const std::string& file);

// How to write a Windows path such as media\q01.jpg (`path`, with its backslashes) so that
// TOML keeps them: with / or in single quotes, where quizpack reads \ as a folder separator
// on every system.
std::string backslashPathHint(const std::string& path);

// The error for what toml++ refused in `text`. A list left open is reported where its ']'
// is missing, at the end of the last line that holds something before the next key, rather
// than on the line of that key; escapes, unclosed texts and texts that held their own
// closing quote ('L'Europe') get a hint of their own.
Diagnostic describeSyntaxError(const toml::parse_error& error, std::string_view text,
                               const std::string& file);
