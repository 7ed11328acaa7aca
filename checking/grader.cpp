// The portable text grader: normalisation, edit distance, anagram test,
// containment scan and the verdict order. No allocation, no platform headers.
#include "checking/grader.h"

#include <cstring>

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

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

} // namespace

const char* gradeText(const char* expected, const char* typed) {
    // X: the typed text cut to 259 bytes, blanks trimmed at both ends (the two steps of the
    // normalisation leave exactly this), a-z upper-cased.
    unsigned char x[kBuffer];
    int t = cutLength(typed);
    int start = 0;
    while (start < t && typed[start] == ' ') {
        ++start;
    }
    while (t > start && typed[t - 1] == ' ') {
        --t;
    }
    t -= start;
    for (int i = 0; i < t; ++i) {
        x[i] = upper(static_cast<unsigned char>(typed[start + i]));
    }
    x[t] = 0;
    if (t == 0) {
        return kVerdictEmpty;
    }

    // Y: the expected answer, a-z upper-cased, blanks kept.
    unsigned char y[kBuffer];
    const int e = cutLength(expected);
    for (int i = 0; i < e; ++i) {
        y[i] = upper(static_cast<unsigned char>(expected[i]));
    }
    y[e] = 0;

    const int d = distance(y, e, x, t);
    if (d == 0) {
        return kVerdictBravo;
    }
    // Sorted copies of different lengths are never identical.
    if (t == e && sameLetters(x, y, t)) {
        return kVerdictAnagram;
    }
    if (d == 1) {
        return kVerdictAlmost;
    }
    if (d == 2) {
        return kVerdictNearly;
    }
    const int c = scan(y, e, x, t);
    if (c == -2) {
        if (e <= 9) {
            return kVerdictWrong;
        }
        if (10 * t > 7 * e) { // ratio 100 T / E > 70
            return kVerdictTooShort;
        }
        if (2 * t > e) { // ratio > 50
            return kVerdictNotFar;
        }
        return kVerdictWrong;
    }
    if (c == 2) {
        return kVerdictTooLong;
    }
    const int l = t > e ? t : e;
    if (l > 5 * d) { // similarity 100 (L - d) / L > 80
        return kVerdictSimilar;
    }
    return kVerdictWrong;
}

int editDistance(const char* a, const char* b) {
    return distance(reinterpret_cast<const unsigned char*>(a), cutLength(a),
                    reinterpret_cast<const unsigned char*>(b), cutLength(b));
}

int containmentScan(const char* expected, const char* typed) {
    return scan(reinterpret_cast<const unsigned char*>(expected), cutLength(expected),
                reinterpret_cast<const unsigned char*>(typed), cutLength(typed));
}
