// Tests of the text grader: every worked example and edge case as table rows,
// editDistance and containmentScan on their own, and a randomized comparison with a naive
// reference grader written from the description.
//
// The randomized comparison prints its seed; replay it with QUIZZ_GRADER_SEED=<seed>, and
// change the number of pairs with QUIZZ_GRADER_PAIRS=<n>.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "checking/grader.h"
#include "content/quiz.h"
#include "grader_pairs.h"

namespace {

using namespace grader_pairs;

constexpr size_t kMax = 259;
constexpr int kNone = -99; // "—" in the worked examples: the value is not needed

// Printable form of a Windows-1252 text for failure messages.
std::string shown(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\" (" + std::to_string(text.size()) + " bytes)";
}

// ---------------------------------------------------------------------------------------
// The naive reference, written from the grading rules step by step: full matrix
// distance, the library sort, and the containment scan as a single pass over the searched
// text.

namespace ref {

std::string cutTyped(const std::string& typed) {
    return typed.substr(0, kMax);
}

std::string normalise(std::string s) {
    // 1. Trailing blanks, from the last character backwards; the first is never examined.
    size_t n = s.size();
    while (n >= 2 && s[n - 1] == ' ') {
        --n;
    }
    s.resize(n);
    // 2. Leading blanks.
    size_t lead = 0;
    while (lead < s.size() && s[lead] == ' ') {
        ++lead;
    }
    s.erase(0, lead);
    // 3. a-z to A-Z.
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return s;
}

std::string upperOnly(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return s;
}

int levenshtein(const std::string& a, const std::string& b) {
    // The whole (n+1) x (m+1) matrix, row after row. Written with plain indices so that it
    // stays fast in the unoptimised sanitizer build.
    const size_t n = a.size();
    const size_t m = b.size();
    const size_t w = m + 1;
    static std::vector<int> matrix; // kept between calls: no 270 KB allocation per call
    if (matrix.size() < (n + 1) * w) {
        matrix.resize((n + 1) * w);
    }
    int* d = matrix.data();
    for (size_t i = 0; i <= n; ++i) {
        d[i * w] = static_cast<int>(i);
    }
    for (size_t j = 0; j <= m; ++j) {
        d[j] = static_cast<int>(j);
    }
    for (size_t i = 1; i <= n; ++i) {
        const char ai = a[i - 1];
        const char* bj = b.data();
        for (size_t j = 1; j <= m; ++j) {
            const int up = d[(i - 1) * w + j] + 1;
            const int left = d[i * w + j - 1] + 1;
            const int diagonal = d[(i - 1) * w + j - 1] + (ai == bj[j - 1] ? 0 : 1);
            const int smaller = up < left ? up : left;
            d[i * w + j] = smaller < diagonal ? smaller : diagonal;
        }
    }
    return d[n * w + m];
}

// Any sort does (only the equality of the sorted texts matters); the library's, unlike the
// matcher's.
std::string sorted(std::string s) {
    std::sort(s.begin(), s.end());
    return s;
}

// One pass over S keeping the number of pattern bytes matched so far; a mismatch restarts
// the count at the current byte, which may itself be the pattern's first byte.
int scan(const std::string& expected, const std::string& typed) {
    const bool typedShorter = typed.size() < expected.size();
    const std::string& pattern = typedShorter ? typed : expected;
    const std::string& searched = typedShorter ? expected : typed;
    const int sign = typedShorter ? -1 : 1;
    if (pattern.empty()) {
        return sign;
    }
    size_t matched = 0;
    for (char c : searched) {
        if (c == pattern[matched]) {
            ++matched;
        } else {
            matched = (c == pattern[0]) ? 1 : 0;
        }
        if (matched == pattern.size()) {
            return 2 * sign;
        }
    }
    return 0;
}

// What the reference found on the way, for comparing the parts on their own.
struct Details {
    std::string x; // normalised typed text
    std::string y; // upper-cased expected answer
    int d = -1;    // edit distance, once computed
};

// The grading steps with the floating-point ratio and similarity of the description, from
// the normalised typed text x and the upper-cased (or folded) expected answer y.
std::string gradeNormalised(const std::string& x, const std::string& y, int* distance = nullptr) {
    const size_t t = x.size();
    const size_t e = y.size();
    if (t == 0) {
        return "?";
    }
    const int d = levenshtein(y, x);
    if (distance != nullptr) {
        *distance = d;
    }
    if (d == 0) {
        return "BRAVO";
    }
    if (sorted(x) == sorted(y)) { // edit distance 0 of the sorted copies
        return "Anagramme";
    }
    if (d == 1) {
        return "Quasiment";
    }
    if (d == 2) {
        return "Presque";
    }
    const int c = scan(y, x);
    if (c == -2) {
        if (e <= 9) {
            return "FAUX";
        }
        const float ratio =
            static_cast<float>(100.0 * static_cast<double>(t) / static_cast<double>(e));
        if (ratio > 70) {
            return "Trop court";
        }
        if (ratio > 50) {
            return "pas loin";
        }
        return "FAUX";
    }
    if (c == 2) {
        return "Trop long";
    }
    const double l = static_cast<double>(std::max(t, e));
    const double similarity = 100.0 * (l - d) / l;
    return similarity > 80 ? "yade lid\xE9"
                             "e"
                           : "FAUX";
}

std::string grade(const std::string& expected, const std::string& typed,
                  Details* details = nullptr) {
    Details local;
    Details& k = details != nullptr ? *details : local;
    k.x = normalise(cutTyped(typed));
    k.y = upperOnly(expected);
    return gradeNormalised(k.x, k.y, &k.d);
}

// The tolerances, letter by letter as the quiz's [grading] table describes them: a to z
// always; with any case (or optional accents) the small accented letters to their capitals;
// with optional accents each accented capital to its base letter, and OE, AE for the two
// ligatures; with any quotes the typographic ones to ' and ". Cut at 259.
std::string fold(const std::string& text, uint32_t tolerances) {
    const bool anyCase = (tolerances & (TOLERATE_CASE | TOLERATE_ACCENTS)) != 0;
    const bool noAccents = (tolerances & TOLERATE_ACCENTS) != 0;
    const bool anyQuotes = (tolerances & TOLERATE_QUOTES) != 0;
    static const std::map<unsigned char, unsigned char> kCapitals = [] {
        std::map<unsigned char, unsigned char> m = {
            {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}};
        for (int c = 0xE0; c <= 0xFE; ++c) {
            if (c != 0xF7) {
                m[static_cast<unsigned char>(c)] = static_cast<unsigned char>(c - 0x20);
            }
        }
        return m;
    }();
    static const std::map<unsigned char, std::string> kBases = [] {
        std::map<unsigned char, std::string> m;
        const std::pair<std::string, std::string> groups[] = {{"\xC0\xC1\xC2\xC3\xC4\xC5", "A"},
                                                              {"\xC7", "C"},
                                                              {"\xC8\xC9\xCA\xCB", "E"},
                                                              {"\xCC\xCD\xCE\xCF", "I"},
                                                              {"\xD1", "N"},
                                                              {"\xD2\xD3\xD4\xD5\xD6\xD8", "O"},
                                                              {"\xD9\xDA\xDB\xDC", "U"},
                                                              {"\xDD\x9F", "Y"},
                                                              {"\x8A", "S"},
                                                              {"\x8E", "Z"},
                                                              {"\x8C", "OE"},
                                                              {"\xC6", "AE"}};
        for (const auto& g : groups) {
            for (char c : g.first) {
                m[static_cast<unsigned char>(c)] = g.second;
            }
        }
        return m;
    }();
    std::string out;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 32);
        }
        if (anyQuotes && (c == 0x91 || c == 0x92)) {
            c = '\'';
        }
        if (anyQuotes && (c == 0x93 || c == 0x94)) {
            c = '"';
        }
        if (anyCase && kCapitals.count(c)) {
            c = kCapitals.at(c);
        }
        if (noAccents && kBases.count(c)) {
            out += kBases.at(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out.substr(0, kMax);
}

// The best verdict over the forms, in the order of the verdicts' list.
std::string gradeForms(const std::vector<std::string>& forms, const std::string& typed,
                       uint32_t tolerances) {
    static const std::vector<std::string> kOrder = {"BRAVO",
                                                    "Anagramme",
                                                    "Quasiment",
                                                    "Presque",
                                                    "Trop long",
                                                    "Trop court",
                                                    "pas loin",
                                                    "yade lid\xE9"
                                                    "e",
                                                    "FAUX"};
    std::string trimmed = normalise(cutTyped(typed)); // a to z upper-cased: fold leaves them
    const std::string x = fold(trimmed, tolerances);
    if (x.empty()) {
        return "?";
    }
    size_t best = kOrder.size() - 1;
    for (const std::string& form : forms) {
        const std::string verdict = gradeNormalised(x, fold(form, tolerances));
        best = std::min(best, static_cast<size_t>(std::find(kOrder.begin(), kOrder.end(), verdict) -
                                                  kOrder.begin()));
    }
    return kOrder[best];
}

} // namespace ref

// ---------------------------------------------------------------------------------------
// Table-driven rows: the worked examples and the edge cases of the grader.

struct Row {
    const char* name;
    std::string expected;
    std::string typed;
    std::string verdict;
    int t = kNone; // length of the normalised typed text
    int e = kNone; // length of the expected answer
    int d = kNone; // editDistance(Y, X)
    int scan = kNone;
};

std::string repeatTo(const std::string& unit, size_t length) {
    std::string s;
    while (s.size() < length) {
        s += unit;
    }
    s.resize(length);
    return s;
}

// 259 characters of words, no blank at either end.
const std::string kLong259 = [] {
    std::string s = repeatTo("Le petit prince et le renard ", kMax - 1);
    s += "x";
    return s;
}();

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return s;
}

const std::string kSimilar = "yade lid\xE9"
                             "e";

std::vector<Row> workedExamples() {
    return {
        {"TourEiffelBlanksAround", "Tour Eiffel", "  tour eiffel ", "BRAVO", 11, 11, 0},
        {"ThreeBlanks", "anything", "   ", "?", 0},
        {"NicheChien", "NICHE", "chien", "Anagramme", 5, 5, 4},
        {"LionLoin", "Lion", "loin", "Anagramme", 4, 4, 2},
        {"Chocolas", "Chocolat", "chocolas", "Quasiment", 8, 8, 1},
        {"Montagnes", "Montagne", "montagnes", "Quasiment", 9, 8, 1},
        {"PetitePrinse", "Le petit prince", "le petite prinse", "Presque", 16, 15, 2},
        {"ParisFrance", "Paris", "paris france", "Trop long", 12, 5, 7, 2},
        {"RevolutionFranc", "Revolution francaise", "revolution franc", "Trop court", 16, 20, 4,
         -2},
        {"DromadaRatio70", "Dromadaire", "dromada", "pas loin", 7, 10, 3, -2},
        {"RevolutionRatio50", "Revolution francaise", "revolution", "FAUX", 10, 20, 10, -2},
        {"ElepShortExpected", "Elephant", "elep", "FAUX", 4, 8, 4, -2},
        {"ChatoDeVersaille", "Chateau de Versailles", "chato de versaille", kSimilar, 18, 21, 4, 0},
        {"BrinseSimilarity80", "Le petit prince", "la petit brinse", "FAUX", 15, 15, 3, 0},
        {"PrinseSimilarity81", "Le petit prince", "la petite prinse", kSimilar, 16, 15, 3, 0},
        {"LondresBerlin", "Londres", "berlin", "FAUX", 6, 7, 7, 0},
    };
}

std::vector<Row> edgeCases() {
    std::vector<Row> rows = {
        // Blanks.
        {"OnlyBlanks", "Paris", "      ", "?", 0},
        {"EmptyTyped", "Paris", "", "?", 0},
        {"OneBlank", "Paris", " ", "?", 0},
        {"TwoBlanksInside", "Tour Eiffel", "tour  eiffel", "Quasiment", 12, 11, 1},
        {"BlanksAroundAndInside", "Tour Eiffel", "   tour  eiffel   ", "Quasiment", 12, 11, 1},
        {"ExpectedEndsWithBlank", "Paris ", "paris", "Quasiment", 5, 6, 1},
        {"ExpectedBeginsWithBlank", " Paris", "  paris  ", "Quasiment", 5, 6, 1},
        {"TabIsNotBlank", "Paris", "\tparis", "Quasiment", 6, 5, 1},
        {"TrailingTabStays", "Paris", "paris\t ", "Quasiment", 6, 5, 1},
        // Upper-casing of a-z only.
        {"ExpectedLowerCase", "paris", "PARIS", "BRAVO", 5, 5, 0},
        {"AccentsKeptBravo", "Cl\xE9op\xE2tre", "CL\xE9OP\xE2TRE", "BRAVO", 9, 9, 0},
        {"AccentedCapitalsNotFolded", "Cl\xE9op\xE2tre", "CL\xC9OP\xC2TRE", "Presque", 9, 9, 2},
        {"AccentsDropped", "Cl\xE9op\xE2tre", "cleopatre", "Presque", 9, 9, 2},
        {"SharpSAndYDiaeresisStay",
         "Stra\xDF"
         "e \xFF",
         "STRA\xDF"
         "E \xFF",
         "BRAVO", 8, 8, 0},
        {"DigitsAndPunctuation", "L'an 2000 !", "l'AN 2000 !", "BRAVO", 11, 11, 0},
        // Order of the steps.
        {"DistanceBeforeContainment", "Paris", "parisss", "Presque", 7, 5, 2, 2},
        {"ContainmentAfterDistance", "Paris", "paris france", "Trop long", 12, 5, 7, 2},
        {"ThreeMoreIsTropLong", "Paris", "parisxyz", "Trop long", 8, 5, 3, 2},
        {"PrefixedIsTropLong", "Paris", "ville de paris", "Trop long", 14, 5, 9, 2},
        {"TwoMoreIsPresque", "Paris", "paris f", "Presque", 7, 5, 2, 2},
        {"AnagramBeforePresque", "Lion", "loin", "Anagramme", 4, 4, 2},
        {"SwappedWordsAnagram", "Tour Eiffel", "eiffel tour", "Anagramme", 11, 11, kNone, 0},
        {"AnagramCountsBlanks", "ab c", "a bc", "Anagramme", 4, 4, 2},
        // Strict boundaries and the short expected answers.
        {"ElepFaux", "Elephant", "elep", "FAUX", 4, 8, 4, -2},
        {"ElephanQuasiment", "Elephant", "elephan", "Quasiment", 7, 8, 1, -2},
        {"NineCharsNeverTropCourt", "Crocodile", "crocod", "FAUX", 6, 9, 3, -2},
        {"TenCharsRatio70", "Dromadaire", "dromada", "pas loin", 7, 10, 3, -2},
        {"TenCharsRatio60", "Dromadaire", "romada", "pas loin", 6, 10, 4, -2},
        {"TenCharsRatio50", "Dromadaire", "droma", "FAUX", 5, 10, 5, -2},
        {"ElevenCharsRatio64", "Hippopotame", "hippopo", "pas loin", 7, 11, 4, -2},
        {"ElevenCharsRatio73", "Hippopotame", "hippopot", "Trop court", 8, 11, 3, -2},
        {"TwentyCharsRatio70", "Revolution francaise", "revolution fra", "pas loin", 14, 20, 6, -2},
        {"TwentyCharsRatio75", "Revolution francaise", "revolution franc", "Trop court", 16, 20, 4,
         -2},
        {"TwentyCharsRatio55Inside", "Revolution francaise", "volution fr", "pas loin", 11, 20, 9,
         -2},
        {"TwentyCharsRatio50Inside", "Revolution francaise", "olution fr", "FAUX", 10, 20, 10, -2},
        {"PartFromTheMiddle", "Revolution francaise", "olution franc", "pas loin", 13, 20, 7, -2},
        {"Similarity80Faux", "Le petit prince", "la petit brinse", "FAUX", 15, 15, 3, 0},
        {"Similarity81", "Le petit prince", "la petite prinse", kSimilar, 16, 15, 3, 0},
        {"Similarity80LongerExpected", "abcdefghijklmnopqrst", "xbcdefghiyklmwopqrsz", "FAUX", 20,
         20, 4, 0},
        {"Similarity80_9", "abcdefghijklmnopqrstu", "xbcdefghiyklmwopqrstz", kSimilar, 21, 21, 4,
         0},
        // The containment scan never steps back.
        {"AnanasInAnananananas", "ANANAS", "ananananas", "FAUX", 10, 6, 4, 0},
        {"AnanasInLesAnanas", "ANANAS", "les ananas", "Trop long", 10, 6, 4, 2},
        // Empty expected answer.
        {"EmptyExpectedOneChar", "", "a", "Quasiment", 1, 0, 1, 1},
        {"EmptyExpectedTwoChars", "", "ab", "Presque", 2, 0, 2, 1},
        {"EmptyExpectedThreeChars", "", "abc", "FAUX", 3, 0, 3, 1},
        {"EmptyExpectedNothingTyped", "", "", "?", 0},
        {"EmptyExpectedBlanks", "", "   ", "?", 0},
        // The 259-byte limit of the typed text.
        {"Typed259Whole", kLong259, lower(kLong259), "BRAVO", 259, 259, 0},
        {"Typed259LastCharCounts", kLong259, kLong259.substr(0, 258) + "y", "Quasiment", 259, 259,
         1},
        {"TypedBeyond259NotGraded", kLong259, kLong259 + "xyz", "BRAVO", 259, 259, 0},
        {"Typed259thCharGraded", kLong259.substr(0, 258), kLong259.substr(0, 258) + "q",
         "Quasiment", 259, 258, 1},
        {"Typed260thCharNotGraded", kLong259.substr(0, 258),
         kLong259.substr(0, 258) + "q" + "rstuvwxyz", "Quasiment", 259, 258, 1},
        {"AnswerAfter259BlanksNotGraded", "Paris", std::string(259, ' ') + "paris", "?", 0},
        {"AnswerCutAt259", "Paris", std::string(255, ' ') + "paris", "Quasiment", 4, 5, 1},
        {"Expected259Typed259Similar", kLong259, "Un" + kLong259.substr(2, 254) + "abc", kSimilar,
         259, 259, 5, 0},
    };
    return rows;
}

void checkRow(const Row& row) {
    SCOPED_TRACE(std::string(row.name) + ": expected " + shown(row.expected) + ", typed " +
                 shown(row.typed));
    const std::string before = row.typed;
    const std::string expectedBefore = row.expected;
    const char* verdict = gradeText(row.expected.c_str(), row.typed.c_str());
    EXPECT_EQ(std::string(verdict), row.verdict);
    EXPECT_EQ(row.typed, before);
    EXPECT_EQ(row.expected, expectedBefore);
    EXPECT_EQ(ref::grade(row.expected, row.typed), row.verdict) << "the reference disagrees";

    const std::string x = ref::normalise(ref::cutTyped(row.typed));
    const std::string y = ref::upperOnly(row.expected);
    if (row.t != kNone) {
        EXPECT_EQ(static_cast<int>(x.size()), row.t) << "T";
    }
    if (row.e != kNone) {
        EXPECT_EQ(static_cast<int>(y.size()), row.e) << "E";
    }
    if (row.d != kNone) {
        EXPECT_EQ(editDistance(y.c_str(), x.c_str()), row.d) << "d";
    }
    if (row.scan != kNone) {
        EXPECT_EQ(containmentScan(y.c_str(), x.c_str()), row.scan) << "scan";
    }
}

class GraderWorkedExample : public testing::TestWithParam<Row> {};
TEST_P(GraderWorkedExample, Verdict) {
    checkRow(GetParam());
}
INSTANTIATE_TEST_SUITE_P(Grading, GraderWorkedExample, testing::ValuesIn(workedExamples()),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

class GraderEdgeCase : public testing::TestWithParam<Row> {};
TEST_P(GraderEdgeCase, Verdict) {
    checkRow(GetParam());
}
INSTANTIATE_TEST_SUITE_P(Grading, GraderEdgeCase, testing::ValuesIn(edgeCases()),
                         [](const testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(Grader, VerdictWordsAreTheWindows1252Bytes) {
    EXPECT_STREQ(kVerdictBravo, "BRAVO");
    EXPECT_STREQ(kVerdictAnagram, "Anagramme");
    EXPECT_STREQ(kVerdictAlmost, "Quasiment");
    EXPECT_STREQ(kVerdictNearly, "Presque");
    EXPECT_STREQ(kVerdictTooLong, "Trop long");
    EXPECT_STREQ(kVerdictTooShort, "Trop court");
    EXPECT_STREQ(kVerdictNotFar, "pas loin");
    EXPECT_STREQ(kVerdictWrong, "FAUX");
    EXPECT_STREQ(kVerdictEmpty, "?");
    ASSERT_EQ(strlen(kVerdictSimilar), 10u);
    EXPECT_EQ(static_cast<unsigned char>(kVerdictSimilar[8]), 0xE9);
    EXPECT_STREQ(kVerdictSimilar, "yade lid\xE9"
                                  "e");
}

TEST(Grader, ReturnsTheVerdictConstantsThemselves) {
    EXPECT_EQ(gradeText("Paris", "paris"), kVerdictBravo);
    EXPECT_EQ(gradeText("Lion", "loin"), kVerdictAnagram);
    EXPECT_EQ(gradeText("Paris", "pari"), kVerdictAlmost);
    EXPECT_EQ(gradeText("Paris", "par"), kVerdictNearly);
    EXPECT_EQ(gradeText("Paris", "paris france"), kVerdictTooLong);
    EXPECT_EQ(gradeText("Revolution francaise", "revolution franc"), kVerdictTooShort);
    EXPECT_EQ(gradeText("Dromadaire", "dromada"), kVerdictNotFar);
    EXPECT_EQ(gradeText("Chateau de Versailles", "chato de versaille"), kVerdictSimilar);
    EXPECT_EQ(gradeText("Londres", "berlin"), kVerdictWrong);
    EXPECT_EQ(gradeText("Londres", "  "), kVerdictEmpty);
}

TEST(Grader, GradingTwiceGivesTheSameVerdictAndChangesNoInput) {
    char expected[260] = "Tour Eiffel ";
    char typed[260] = "  tour eiffel  ";
    const std::string e0 = expected;
    const std::string t0 = typed;
    const char* first = gradeText(expected, typed);
    const char* second = gradeText(expected, typed);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::string(expected), e0);
    EXPECT_EQ(std::string(typed), t0);
}

// ---------------------------------------------------------------------------------------
// editDistance and containmentScan on their own.

struct DistanceRow {
    std::string a;
    std::string b;
    int distance;
};

TEST(GraderEditDistance, Table) {
    const std::vector<DistanceRow> rows = {
        {"", "", 0},
        {"", "ABC", 3},
        {"ABC", "", 3},
        {"ABC", "ABC", 0},
        {"KITTEN", "SITTING", 3},
        {"FLAW", "LAWN", 2},
        {"LION", "LOIN", 2},
        {"NICHE", "CHIEN", 4},
        {"abc", "ABC", 3}, // bytes compared as they are, no case folding here
        {"\xE9t\xE9", "\xC9T\xC9", 3},
        {std::string(259, 'A'), std::string(259, 'B'), 259},
        {std::string(259, 'A'), "", 259},
        {std::string(300, 'A'), std::string(259, 'A'), 0}, // cut to 259
        {std::string(300, 'A'), std::string(250, 'A'), 9},
        {"ANANAS", "ANANANANAS", 4},
    };
    for (const DistanceRow& row : rows) {
        SCOPED_TRACE(shown(row.a) + " / " + shown(row.b));
        EXPECT_EQ(editDistance(row.a.c_str(), row.b.c_str()), row.distance);
        EXPECT_EQ(editDistance(row.b.c_str(), row.a.c_str()), row.distance);
    }
}

struct ScanRow {
    std::string expected;
    std::string typed;
    int result;
};

TEST(GraderContainmentScan, Table) {
    const std::vector<ScanRow> rows = {
        {"ANANAS", "ANANANANAS", 0}, // the scan does not step back
        {"ANANAS", "LES ANANAS", 2},
        {"ANANAS", "ANANAS", 2},
        {"ANANANANAS", "ANANAS", 0},
        {"LES ANANAS", "ANANAS", -2},
        {"AAB", "AAAB", 0}, // AA, then the third A starts an attempt that meets B
        {"AAB", "XAAB", 2},
        {"AB", "AAB", 2}, // the byte where an attempt broke off starts the next one
        {"PARIS", "PARIS FRANCE", 2},
        {"PARIS", "VILLE DE PARIS", 2},
        {"PARIS", "PARIX", 0}, // equal lengths: 0 unless equal
        {"PARIS", "PARI", -2},
        {"PARIS", "ARI", -2},
        {"PARIS", "RIX", 0},
        {"", "", 1},
        {"", "ABC", 1},
        {"ABC", "", -1},
        {"A", "A", 2},
        {"A", "B", 0},
        {"ABC", "AB", -2},
        {"ABC", "BC", -2},
        {"ABC", "AC", 0},
        {"ABCDE", "XXABCDX", 0}, // ABCDE not in it
        {"REVOLUTION FRANCAISE", "OLUTION FRANC", -2},
    };
    for (const ScanRow& row : rows) {
        SCOPED_TRACE(shown(row.expected) + " / " + shown(row.typed));
        EXPECT_EQ(containmentScan(row.expected.c_str(), row.typed.c_str()), row.result);
        EXPECT_EQ(ref::scan(row.expected, row.typed), row.result) << "the reference disagrees";
    }
}

// ---------------------------------------------------------------------------------------
// Accepted forms and tolerances.

constexpr uint32_t kCase = TOLERATE_CASE;
constexpr uint32_t kAccents = TOLERATE_ACCENTS;
constexpr uint32_t kQuotes = TOLERATE_QUOTES;

struct FoldRow {
    uint32_t tolerances;
    std::string text;
    std::string folded;
};

TEST(GraderFolding, Table) {
    const std::string kAllSmall = "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
                                  "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"
                                  "\x9A\x9C\x9E\xDF";
    const std::vector<FoldRow> rows = {
        {0, "Cl\xE9op\xE2tre l'\x92", "CL\xE9OP\xE2TRE L'\x92"}, // a to z only, as always
        {kCase, kAllSmall,
         "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
         "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xF7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\x9F"
         "\x8A\x8C\x8E\xDF"}, // ÷ and ß stay
        {kAccents, kAllSmall, "AAAAAAAECEEEEIIII\xD0NOOOOO\xF7OUUUUY\xDEYSOEZ\xDF"},
        {kAccents,
         "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5"
         "\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF\x8A\x8C\x8E\x9F",
         "AAAAAAAECEEEEIIII\xD0NOOOOO\xD7OUUUUY\xDE\xDFSOEZY"},
        {kQuotes, "\x91l\x92\xE9t\xE9\x93 \x94\x92", "'L'\xE9T\xE9\" \"'"},
        {kQuotes, "\xE9\xC9", "\xE9\xC9"}, // quotes alone fold no letter
        {kCase | kQuotes, "\x9Cuvre\x92", "\x8CUVRE'"},
        {kAccents, std::string(258, 'a') + "\x9C", std::string(258, 'A') + "O"}, // OE cut at 259
        {kAccents, std::string(300, 'a'), std::string(259, 'A')},
    };
    for (const FoldRow& row : rows) {
        SCOPED_TRACE(shown(row.text) + ", tolerances " + std::to_string(row.tolerances));
        char out[260];
        const int length = foldText(row.text.c_str(), row.tolerances, out);
        EXPECT_EQ(std::string(out, static_cast<size_t>(length)), row.folded);
        EXPECT_EQ(ref::fold(row.text, row.tolerances), row.folded) << "the reference disagrees";
    }
}

struct FormsRow {
    std::vector<std::string> forms;
    std::string typed;
    uint32_t tolerances;
    std::string verdict;
};

TEST(GraderForms, BestVerdictOfAnyFormWithTheTolerances) {
    const std::vector<std::string> gaulle = {"Charles de Gaulle", "De Gaulle",
                                             "G\xE9n\xE9ral de Gaulle"};
    const std::vector<FormsRow> rows = {
        {gaulle, "de gaulle", 0, "BRAVO"},
        {gaulle, "  general de gaulle ", 0, "Presque"},
        {gaulle, "general de gaulle", kAccents, "BRAVO"},
        {gaulle, "charles de gaule", 0, "Quasiment"},
        {{"Charles de Gaulle"}, "De Gaulle", 0, "pas loin"}, // without its other forms
        {{"\x9Cuvre"}, "oeuvre", 0, "Presque"},
        {{"\x9Cuvre"}, "oeuvre", kAccents, "BRAVO"},
        {{"\xC9lys\xE9"
          "e"},
         "\xE9lys\xE9"
         "e",
         0,
         "Quasiment"},
        {{"\xC9lys\xE9"
          "e"},
         "\xE9lys\xE9"
         "e",
         kCase,
         "BRAVO"},
        {{"\xC9lys\xE9"
          "e"},
         "elysee",
         kCase,
         "Presque"},
        {{"l'\xE9t\xE9"}, "l\x92\xE9t\xE9", 0, "Quasiment"},
        {{"l'\xE9t\xE9"}, "l\x92\xE9t\xE9", kQuotes, "BRAVO"},
        {{"l'\xE9t\xE9"}, "L\x92\xC9T\xC9", kQuotes | kCase, "BRAVO"},
        // The first verdict in the order wins, whichever form gives it.
        {{"Paris", "Lion"}, "loin", 0, "Anagramme"},
        {{"Lion", "Loire"}, "loir", 0, "Quasiment"},
        {{"Paris", "Revolution francaise"}, "revolution franc", 0, "Trop court"},
        {{"Revolution francaise", "Rome"}, "rome antique", 0, "Trop long"},
        {{"Paris", "Rome"}, "   ", 0, "?"},
        {{"Paris", "Rome"}, "", kAccents | kQuotes, "?"},
    };
    for (const FormsRow& row : rows) {
        std::vector<const char*> forms;
        for (const std::string& f : row.forms) {
            forms.push_back(f.c_str());
        }
        SCOPED_TRACE(shown(row.forms[0]) + " and " + std::to_string(forms.size() - 1) +
                     " more, typed " + shown(row.typed) + ", tolerances " +
                     std::to_string(row.tolerances));
        EXPECT_EQ(std::string(gradeAnswer(forms.data(), static_cast<int>(forms.size()),
                                          row.typed.c_str(), row.tolerances)),
                  row.verdict);
        EXPECT_EQ(ref::gradeForms(row.forms, row.typed, row.tolerances), row.verdict)
            << "the reference disagrees";
    }
}

// ---------------------------------------------------------------------------------------
// Randomized comparison with the reference.

TEST(GraderRandomized, AgreesWithTheReference) {
    const uint64_t seed = graderSeed();
    const uint64_t pairs = graderPairCount();
    std::cout << "[ grader  ] seed " << seed << " (replay with QUIZZ_GRADER_SEED=" << seed << "), "
              << pairs << " pairs" << std::endl;
    RecordProperty("seed", std::to_string(seed));
    PairGenerator gen(seed);
    std::map<std::string, uint64_t> reached;
    uint64_t failures = 0;
    uint64_t longPairs = 0;
    uint64_t checked = 0;
    for (uint64_t n = 0; n < pairs; ++n) {
        const int kind = gen.kindOfPair(n);
        longPairs += kind == PairGenerator::kLongKind ? 1 : 0;
        const auto pair = gen.pair(kind);
        const std::string& expected = pair.first;
        const std::string& typed = pair.second;
        ref::Details details;
        const std::string want = ref::grade(expected, typed, &details);
        const std::string got = gradeText(expected.c_str(), typed.c_str());
        ++reached[got];
        ++checked;
        if (got != want) {
            ADD_FAILURE() << "pair " << n << " (seed " << seed << "): expected " << shown(expected)
                          << ", typed " << shown(typed) << ": gradeText " << shown(got)
                          << ", reference " << shown(want);
            if (++failures >= 10) {
                break;
            }
        }
        // The parts on their own, on the normalised texts (for long pairs only now and then:
        // gradeText has just run the same distance on them, and they are the slow ones).
        if (kind == PairGenerator::kLongKind && longPairs % 4 != 0) {
            continue;
        }
        const std::string& x = details.x;
        const std::string& y = details.y;
        const int d = editDistance(y.c_str(), x.c_str());
        const int refD = details.d >= 0 ? details.d : ref::levenshtein(y, x);
        const int c = containmentScan(y.c_str(), x.c_str());
        const int refC = ref::scan(y, x);
        if (d != refD || c != refC) {
            ADD_FAILURE() << "pair " << n << " (seed " << seed << "): " << shown(y) << " / "
                          << shown(x) << ": distance " << d << " (reference " << refD << "), scan "
                          << c << " (reference " << refC << ")";
            if (++failures >= 10) {
                break;
            }
        }
    }
    std::cout << "[ grader  ] " << checked << " pairs checked, " << longPairs
              << " of them with 240-259-byte expected answers; verdicts:";
    for (const auto& entry : reached) {
        std::cout << " " << (entry.first == kSimilar ? "yade lidee" : entry.first) << "="
                  << entry.second;
    }
    std::cout << std::endl;
    for (const char* verdict :
         {kVerdictBravo, kVerdictAnagram, kVerdictAlmost, kVerdictNearly, kVerdictTooLong,
          kVerdictTooShort, kVerdictNotFar, kVerdictSimilar, kVerdictWrong, kVerdictEmpty}) {
        if (pairs >= 1000) {
            EXPECT_GT(reached[verdict], 0u) << "no pair reached " << shown(verdict);
        }
    }
}

// Answers with several accepted forms and letters the tolerances fold, each graded with a
// random combination of the tolerances.
TEST(GraderRandomized, FormsAndTolerancesAgreeWithTheReference) {
    const uint64_t seed = graderSeed() + 2;
    const uint64_t cases = graderPairCount() / 15;
    std::cout << "[ grader  ] forms seed " << seed << ", " << cases << " answers" << std::endl;
    PairGenerator gen(seed);
    std::map<std::string, uint64_t> reached;
    int failures = 0;
    for (uint64_t n = 0; n < cases && failures < 10; ++n) {
        const FormsCase c = gen.formsCase();
        std::vector<const char*> forms;
        for (const std::string& f : c.forms) {
            forms.push_back(f.c_str());
        }
        const std::string got = gradeAnswer(forms.data(), static_cast<int>(forms.size()),
                                            c.typed.c_str(), c.tolerances);
        const std::string want = ref::gradeForms(c.forms, c.typed, c.tolerances);
        ++reached[got];
        if (got != want) {
            ++failures;
            ADD_FAILURE() << "answer " << n << " (seed " << seed << "): " << shown(c.forms[0])
                          << " and " << c.forms.size() - 1 << " more, typed " << shown(c.typed)
                          << ", tolerances " << c.tolerances << ": gradeAnswer " << shown(got)
                          << ", reference " << shown(want);
        }
    }
    if (cases >= 1000) {
        EXPECT_GT(reached[kVerdictBravo], 0u);
        EXPECT_GT(reached[kVerdictAlmost], 0u);
        EXPECT_GT(reached[kVerdictWrong], 0u);
    }
}

// Pairs over a tiny alphabet, where the scan's missed repetitions are frequent.
TEST(GraderRandomized, ScanAndDistanceOnTinyAlphabets) {
    const uint64_t seed = graderSeed() + 1;
    std::cout << "[ grader  ] tiny-alphabet seed " << seed << std::endl;
    std::mt19937_64 rng(seed);
    uint64_t found[5] = {};
    for (int n = 0; n < 20000; ++n) {
        std::string a;
        std::string b;
        const int la = static_cast<int>(rng() % 9);
        const int lb = static_cast<int>(rng() % 14);
        for (int i = 0; i < la; ++i) {
            a += static_cast<char>('A' + rng() % 2);
        }
        for (int i = 0; i < lb; ++i) {
            b += static_cast<char>('A' + rng() % 2);
        }
        const int c = containmentScan(a.c_str(), b.c_str());
        ASSERT_EQ(c, ref::scan(a, b)) << shown(a) << " / " << shown(b) << " seed " << seed;
        ASSERT_EQ(editDistance(a.c_str(), b.c_str()), ref::levenshtein(a, b))
            << shown(a) << " / " << shown(b) << " seed " << seed;
        ++found[c + 2];
    }
    EXPECT_GT(found[0], 0u); // -2
    EXPECT_GT(found[4], 0u); // 2
    EXPECT_GT(found[2], 0u); // 0
}

} // namespace
