// Grading one typed answer against its expected answer. Portable and allocation-free.
#pragma once

#include <cstdint>

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

// Grades `typed` against each accepted form of one answer, `forms[0..formCount)` (the main
// answer first; formCount 0 counts as one empty form), with `tolerances` (GradingTolerance
// bits of content/quiz.h), and returns the best verdict: the first of "BRAVO", "Anagramme",
// "Quasiment", "Presque", "Trop long", "Trop court", "pas loin", "yade lid\xE9e", "FAUX"
// that some form gets; "?" when nothing is typed. With one form and no tolerance it gives
// gradeText's verdict. Not reentrant either.
const char* gradeAnswer(const char* const* forms, int formCount, const char* typed,
                        uint32_t tolerances);

// `text` (its first 259 bytes) as the grader compares it: a to z upper-cased, and folded as
// `tolerances` ask (accented small letters to capitals, accented capitals to their base letter,
// Œ to OE and Æ to AE, typographic quotes to ' and "). Writes at most 259 bytes and a
// terminator into `out` (260 bytes); returns how many. A text that folding makes longer is
// cut at 259.
int foldText(const char* text, uint32_t tolerances, char* out);

// The typed text as the grader takes it: its first 259 bytes, the blanks around them
// removed, then folded as foldText folds. Same output and result as foldText.
int normaliseTyped(const char* typed, uint32_t tolerances, char* out);

// Levenshtein distance of two texts of at most 259 bytes each (longer ones are cut).
int editDistance(const char* a, const char* b);

// 2: typed is at least as long as expected and contains it; -2: typed is shorter and occurs
// in expected; 1 (times the sign) when the shorter text is empty; 0: neither. The scan
// never steps back, so a pattern whose beginning repeats can be missed: ANANAS is not found
// in ANANANANAS. Texts longer than 259 bytes are cut. Compares bytes as given (gradeText
// passes it the normalised texts).
int containmentScan(const char* expected, const char* typed);
