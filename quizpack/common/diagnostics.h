// Problems found in an author's input, each located by file, line and key, with what is
// wrong and how to fix it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class Severity { Note, Warning, Error };

struct Diagnostic {
    std::string file; // the description's path as the author gave it
    int line = 0;     // 1-based; 0 when no line can be named (a key that is missing)
    std::string key;  // "title", "question[3].answers", ...; 1-based question numbers
    Severity severity = Severity::Error;
    std::string message; // what is wrong
    std::string hint;    // how to fix it; may be empty
    int column = 0;      // 1-based, in characters; 0 when the line alone says where
};

// "quiz.toml:12: error: question[3].answers: ...\n    hint: ...\n"; with a column,
// "questions.csv:4:17: error: ...".
std::string formatDiagnostic(const Diagnostic& diagnostic);

bool hasErrors(const std::vector<Diagnostic>& diagnostics);
int countSeverity(const std::vector<Diagnostic>& diagnostics, Severity severity);

// "2 errors, 1 warning" (notes are not counted); "no problems" when there is none.
std::string summarizeDiagnostics(const std::vector<Diagnostic>& diagnostics);
