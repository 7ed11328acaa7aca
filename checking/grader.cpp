// The portable text grader: normalisation and folding, edit distance, anagram test,
// containment scan, the verdict order and the best verdict over an answer's forms. No
// allocation, no platform headers.
#include "checking/grader.h"

#include <cstring>

#include "content/quiz.h"

const char kVerdictBravo[] = "BRAVO";
const char kVerdictAnagram[] = "Anagramme";
const char kVerdictAlmost[] = "Quasiment";
const char kVerdictNearly[] = "Presque";
const char kVerdictTooLong[] = "Trop long";
const char kVerdictTooShort[] = "Trop court";
const char kVerdictNotFar[] = "pas loin";
const char kVerdictSimilar[] = "yade lid\xE9"
                               "e";
const char kVerdictWrong[] = "FAUX";
const char kVerdictEmpty[] = "?";

namespace {

constexpr int kMaxText = 259;         // characters a text holds
constexpr int kBuffer = kMaxText + 1; // with its terminator

// The distance table: rows 0..length of a, columns 0..length of b. One table
// for the process (the player grades on its single user-interface thread); grading is
// therefore not reentrant, and callers on several threads must not grade at once.
int gTable[kBuffer][kBuffer];

int cutLength(const char* text) {
    int n = 0;
    while (n < kMaxText && text[n] != '\0') {
        ++n;
    }
    return n;
}

// Levenshtein distance of a[0..n) and b[0..m), both at most 259 bytes, in gTable. The
// common prefix and suffix are passed over first: they never change the distance (an
// optimal alignment can always pair them), and they make near misses cheap.
int distance(const unsigned char* a, int n, const unsigned char* b, int m) {
    while (n > 0 && m > 0 && a[0] == b[0]) {
        ++a;
        ++b;
        --n;
        --m;
    }
    while (n > 0 && m > 0 && a[n - 1] == b[m - 1]) {
        --n;
        --m;
    }
    if (n == 0) {
        return m;
    }
    if (m == 0) {
        return n;
    }
    for (int j = 0; j <= m; ++j) {
        gTable[0][j] = j;
    }
    for (int i = 1; i <= n; ++i) {
        const int* above = gTable[i - 1];
        int* row = gTable[i];
        const unsigned char ai = a[i - 1];
        int left = i;
        row[0] = left;
        for (int j = 1; j <= m; ++j) {
            int best = above[j - 1] + (ai != b[j - 1] ? 1 : 0);
            const int del = above[j] + 1;
            const int ins = left + 1;
            if (del < best) {
                best = del;
            }
            if (ins < best) {
                best = ins;
            }
            row[j] = best;
            left = best;
        }
    }
    return gTable[n][m];
}

// Step 7 of the containment scan: the search resumes where a failed attempt broke off.
int scan(const unsigned char* expected, int e, const unsigned char* typed, int t) {
    const unsigned char* p = typed;
    const unsigned char* s = expected;
    int pLen = t;
    int sLen = e;
    int sign = -1;
    if (t >= e) {
        p = expected;
        s = typed;
        pLen = e;
        sLen = t;
        sign = 1;
    }
    if (pLen == 0) {
        return sign;
    }
    int i = 0;
    for (;;) {
        while (i < sLen && s[i] != p[0]) {
            ++i;
        }
        if (i == sLen) {
            return 0;
        }
        int k = 0;
        while (k < pLen && i < sLen && s[i] == p[k]) {
            ++i;
            ++k;
        }
        if (k == pLen) {
            return 2 * sign;
        }
    }
}

// Anagram test: both texts sorted into one byte order are identical. Counting the bytes
// of each is that sort (a counting sort) without writing the sorted copies out.
bool sameLetters(const unsigned char* x, const unsigned char* y, int length) {
    int count[256] = {};
    for (int i = 0; i < length; ++i) {
        ++count[x[i]];
        --count[y[i]];
    }
    for (int c : count) {
        if (c != 0) {
            return false;
        }
    }
    return true;
}

// The base letter of each accented capital from \xC0 (À) to \xDF (ß); 0 for those that have
// none: Æ (\xC6, which becomes AE), Ð, ×, Þ and ß.
const char kBaseLetters[33] = "AAAAAA\0CEEEEIIII\0NOOOOO\0OUUUUY\0\0";

// One byte as the grader compares it, into out[0] (and out[1] for Œ and Æ, which become two
// letters); returns how many bytes. `tolerances` already has TOLERATE_CASE when it has
// TOLERATE_ACCENTS.
int foldByte(unsigned char c, uint32_t tolerances, unsigned char* out) {
    if (c >= 'a' && c <= 'z') {
        out[0] = static_cast<unsigned char>(c - 32);
        return 1;
    }
    if (c < 0x80 || tolerances == 0) {
        out[0] = c;
        return 1;
    }
    if (tolerances & TOLERATE_QUOTES) {
        if (c == 0x91 || c == 0x92) { // ‘ ’
            c = '\'';
        } else if (c == 0x93 || c == 0x94) { // “ ”
            c = '"';
        }
    }
    if (tolerances & TOLERATE_CASE) {
        if (c >= 0xE0 && c <= 0xFE && c != 0xF7) { // à to þ but ÷
            c = static_cast<unsigned char>(c - 0x20);
        } else if (c == 0x9A || c == 0x9C || c == 0x9E) { // š œ ž
            c = static_cast<unsigned char>(c - 0x10);
        } else if (c == 0xFF) { // ÿ
            c = 0x9F;
        }
    }
    if (tolerances & TOLERATE_ACCENTS) {
        if (c == 0x8C || c == 0xC6) { // Œ Æ
            out[0] = c == 0x8C ? 'O' : 'A';
            out[1] = 'E';
            return 2;
        }
        if (c == 0x8A) {
            c = 'S';
        } else if (c == 0x8E) {
            c = 'Z';
        } else if (c == 0x9F) {
            c = 'Y';
        } else if (c >= 0xC0 && c <= 0xDF && kBaseLetters[c - 0xC0] != '\0') {
            c = static_cast<unsigned char>(kBaseLetters[c - 0xC0]);
        }
    }
    out[0] = c;
    return 1;
}

uint32_t effectiveTolerances(uint32_t tolerances) {
    tolerances &= kAllTolerances;
    return tolerances & TOLERATE_ACCENTS ? tolerances | TOLERATE_CASE : tolerances;
}

// text[0..n) folded into out, cut at 259 bytes and terminated; returns the length.
int foldInto(const unsigned char* text, int n, uint32_t tolerances, unsigned char* out) {
    int length = 0;
    for (int i = 0; i < n && length < kMaxText; ++i) {
        unsigned char folded[2];
        const int k = foldByte(text[i], tolerances, folded);
        out[length++] = folded[0];
        if (k == 2 && length < kMaxText) {
            out[length++] = folded[1];
        }
    }
    out[length] = 0;
    return length;
}

// X: the typed text cut to 259 bytes, blanks trimmed at both ends (the two steps of the
// normalisation leave exactly this), then folded.
int normalise(const char* typed, uint32_t tolerances, unsigned char* x) {
    int t = cutLength(typed);
    int start = 0;
    while (start < t && typed[start] == ' ') {
        ++start;
    }
    while (t > start && typed[t - 1] == ' ') {
        --t;
    }
    return foldInto(reinterpret_cast<const unsigned char*>(typed) + start, t - start, tolerances,
                    x);
}

// The verdicts from best to worst: a field with several accepted forms gets the best one.
const char* const kRankedVerdicts[] = {
    kVerdictBravo,    kVerdictAnagram, kVerdictAlmost,  kVerdictNearly, kVerdictTooLong,
    kVerdictTooShort, kVerdictNotFar,  kVerdictSimilar, kVerdictWrong,
};
constexpr int kBravoRank = 0;
constexpr int kWrongRank = 8;

// Everything the grading does once the typed text is known not to be empty, on the
// normalised typed text X (t > 0 bytes) and the folded expected answer Y (e bytes): the rank
// of the verdict in kRankedVerdicts.
int rankOf(const unsigned char* y, int e, const unsigned char* x, int t) {
    const int d = distance(y, e, x, t);
    if (d == 0) {
        return kBravoRank;
    }
    // Sorted copies of different lengths are never identical.
    if (t == e && sameLetters(x, y, t)) {
        return 1; // Anagramme
    }
    if (d == 1) {
        return 2; // Quasiment
    }
    if (d == 2) {
        return 3; // Presque
    }
    const int c = scan(y, e, x, t);
    if (c == -2) {
        if (e <= 9) {
            return kWrongRank;
        }
        if (10 * t > 7 * e) { // ratio 100 T / E > 70
            return 5;         // Trop court
        }
        if (2 * t > e) { // ratio > 50
            return 6;    // pas loin
        }
        return kWrongRank;
    }
    if (c == 2) {
        return 4; // Trop long
    }
    const int l = t > e ? t : e;
    if (l > 5 * d) { // similarity 100 (L - d) / L > 80
        return 7;    // yade lidée
    }
    return kWrongRank;
}

} // namespace

const char* gradeText(const char* expected, const char* typed) {
    return gradeAnswer(&expected, 1, typed, 0);
}

const char* gradeAnswer(const char* const* forms, int formCount, const char* typed,
                        uint32_t tolerances) {
    tolerances = effectiveTolerances(tolerances);
    unsigned char x[kBuffer];
    const int t = normalise(typed, tolerances, x);
    if (t == 0) {
        return kVerdictEmpty;
    }
    static const char* const kNoForm[] = {""};
    if (formCount < 1) {
        forms = kNoForm;
        formCount = 1;
    }
    int best = kWrongRank;
    for (int i = 0; i < formCount && best != kBravoRank; ++i) {
        unsigned char y[kBuffer];
        const int e = foldInto(reinterpret_cast<const unsigned char*>(forms[i]),
                               cutLength(forms[i]), tolerances, y);
        const int rank = rankOf(y, e, x, t);
        best = rank < best ? rank : best;
    }
    return kRankedVerdicts[best];
}

int foldText(const char* text, uint32_t tolerances, char* out) {
    return foldInto(reinterpret_cast<const unsigned char*>(text), cutLength(text),
                    effectiveTolerances(tolerances), reinterpret_cast<unsigned char*>(out));
}

int normaliseTyped(const char* typed, uint32_t tolerances, char* out) {
    return normalise(typed, effectiveTolerances(tolerances), reinterpret_cast<unsigned char*>(out));
}

int editDistance(const char* a, const char* b) {
    return distance(reinterpret_cast<const unsigned char*>(a), cutLength(a),
                    reinterpret_cast<const unsigned char*>(b), cutLength(b));
}

int containmentScan(const char* expected, const char* typed) {
    return scan(reinterpret_cast<const unsigned char*>(expected), cutLength(expected),
                reinterpret_cast<const unsigned char*>(typed), cutLength(typed));
}
