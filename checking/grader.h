// Grading one typed answer against its expected answer. Portable and allocation-free.
#pragma once

// Verdict words, Windows-1252 bytes ("yade lid\xE9e").
extern const char kVerdictBravo[];
extern const char kVerdictAnagram[];
extern const char kVerdictAlmost[];   // "Quasiment": distance 1
extern const char kVerdictNearly[];   // "Presque": distance 2
extern const char kVerdictTooLong[];  // "Trop long"
extern const char kVerdictTooShort[]; // "Trop court"
extern const char kVerdictNotFar[];   // "pas loin"
extern const char kVerdictSimilar[];  // "yade lid\xE9e"
extern const char kVerdictWrong[];    // "FAUX"
extern const char kVerdictEmpty[];    // "?"

// Grades `typed` (the field's text; only its first 259 bytes count) against `expected`
// (a stored answer of at most 259 bytes). Pure: neither input is changed. Returns one of
// the verdict words above; the pointer stays valid for the life of the program.
// Uses one process-wide 260 x 260 distance table: not reentrant, so grade from one thread
// at a time (the player grades only on its user-interface thread).
const char* gradeText(const char* expected, const char* typed);

// Levenshtein distance of two texts of at most 259 bytes each (longer ones are cut).
int editDistance(const char* a, const char* b);

// 2: typed is at least as long as expected and contains it; -2: typed is shorter and occurs
// in expected; 1 (times the sign) when the shorter text is empty; 0: neither. The scan
// never steps back, so a pattern whose beginning repeats can be missed: ANANAS is not found
// in ANANANANAS. Texts longer than 259 bytes are cut. Compares bytes as given (gradeText
// passes it the normalised texts).
int containmentScan(const char* expected, const char* typed);
