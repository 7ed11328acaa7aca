// The randomized answer pairs of the grader's reference test, shared with the test that
// grades them again through the WebAssembly build: one generator, one seed handling.
// QUIZZ_GRADER_SEED=<seed> replays a run; QUIZZ_GRADER_PAIRS=<n> changes the number of pairs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace grader_pairs {

// Fewer pairs in the unoptimised sanitizer build, to keep it to a few seconds.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint64_t kDefaultPairs = 12000;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr uint64_t kDefaultPairs = 12000;
#else
constexpr uint64_t kDefaultPairs = 60000;
#endif
#else
constexpr uint64_t kDefaultPairs = 60000;
#endif

inline uint64_t envNumber(const char* name, uint64_t fallback) {
    const char* value = getenv(name);
    if (value == nullptr || *value == '\0') {
        return fallback;
    }
    return strtoull(value, nullptr, 10);
}

// Bytes that answers are made of: mostly lower-case letters, some capitals, accented
// letters in both cases, digits and punctuation.
inline const std::string kAccented = "\xE9\xE8\xE0\xE7\xF4\xEF\xC9\xC8\xC0\xC7\xD4\xDF\xFF\x9C\x8C";

// What the tolerances fold, and what they leave: accented letters of both cases, \x9C\x8C
// (oe) and \xE6\xC6 (ae), \x9A\x8A \x9E\x8E \xFF\x9F, the letters without a base letter
// (\xDF \xF0\xD0 \xFE\xDE), the signs beside them (\xF7 \xD7), and the quotes, straight and
// typographic.
inline const std::string kFoldable = "\xE0\xC0\xE2\xC2\xE9\xC9\xE8\xC8\xEA\xCA\xEB\xCB\xEE\xCE\xEF"
                                     "\xCF\xF4\xD4\xF6\xD6\xF9\xD9\xFB\xDB\xFC\xDC\xE7\xC7\xF1\xD1"
                                     "\xF8\xD8\xFD\xDD\xFF\x9F\x9C\x8C\xE6\xC6\x9A\x8A\x9E\x8E\xDF"
                                     "\xF0\xD0\xFE\xDE\xF7\xD7";
inline const std::string kQuotes = "'\"\x91\x92\x93\x94";

// An answer's accepted forms and a typed text, graded with the tolerances (bits 0 to 7).
struct FormsCase {
    uint32_t tolerances = 0;
    std::vector<std::string> forms;
    std::string typed;
};

class PairGenerator {
  public:
    explicit PairGenerator(uint64_t seed) : rng_(seed) {}

    int below(int n) { return static_cast<int>(rng_() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

    char letter() {
        const int r = below(100);
        if (r < 70) {
            return static_cast<char>('a' + below(26));
        }
        if (r < 82) {
            return static_cast<char>('A' + below(26));
        }
        if (r < 92) {
            return kAccented[static_cast<size_t>(below(static_cast<int>(kAccented.size())))];
        }
        if (r < 96) {
            return static_cast<char>('0' + below(10));
        }
        static const char kPunct[] = "'-.,!?\t|";
        return kPunct[below(static_cast<int>(sizeof kPunct) - 1)];
    }

    std::string word(int minLength, int maxLength) {
        std::string w;
        const int n = minLength + below(maxLength - minLength + 1);
        for (int i = 0; i < n; ++i) {
            w += letter();
        }
        return w;
    }

    // An expected answer of words separated by single blanks, of about `length` bytes.
    std::string answer(size_t length) {
        std::string s = word(1, 9);
        while (s.size() < length) {
            s += ' ';
            s += word(1, 9);
        }
        s.resize(length);
        if (!s.empty() && s.back() == ' ') {
            s.back() = letter();
        }
        return s;
    }

    std::string answer() {
        const int r = below(100);
        size_t length;
        if (r < 45) {
            length = 1 + static_cast<size_t>(below(12));
        } else if (r < 90) {
            length = 10 + static_cast<size_t>(below(30));
        } else {
            length = 40 + static_cast<size_t>(below(60));
        }
        std::string s = answer(length);
        if (chance(4)) {
            s = chance(50) ? " " + s : s + " "; // a stored answer with a blank at an end
        }
        return s;
    }

    std::string changeCase(std::string s) {
        for (char& c : s) {
            if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && chance(40)) {
                c = static_cast<char>(c ^ 0x20);
            }
        }
        return s;
    }

    std::string blanksAround(std::string s) {
        return std::string(static_cast<size_t>(below(4)), ' ') + s +
               std::string(static_cast<size_t>(below(4)), ' ');
    }

    void edit(std::string* s) {
        const int kind = s->empty() ? 0 : below(3);
        const size_t at = static_cast<size_t>(below(static_cast<int>(s->size()) + (kind == 0)));
        if (kind == 0) {
            s->insert(at, 1, letter());
        } else if (kind == 1) {
            s->erase(at, 1);
        } else {
            (*s)[at] = letter();
        }
    }

    std::string edited(std::string s, int edits) {
        for (int i = 0; i < edits; ++i) {
            edit(&s);
        }
        return s;
    }

    // A part of s of about `length` bytes from a random start.
    std::string part(const std::string& s, size_t length) {
        length = std::min(length, s.size());
        const size_t start = static_cast<size_t>(below(static_cast<int>(s.size() - length) + 1));
        return s.substr(start, length);
    }

    // Flips the case of accented letters (é <-> É differ by 0x20 in Windows-1252) or drops
    // their accent.
    std::string accentChanges(std::string s) {
        for (char& c : s) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u >= 0xC0 && u != 0xD7 && u != 0xF7 && u != 0xDF && u != 0xFF && chance(50)) {
                c = chance(50) ? static_cast<char>(u ^ 0x20) : 'e';
            }
        }
        return s;
    }

    // One pair of a given kind; the kinds are built to reach every verdict.
    std::pair<std::string, std::string> pair(int kind) {
        switch (kind) {
        case 0: { // case changes and blanks around: BRAVO
            std::string e = answer();
            return {e, blanksAround(changeCase(e))};
        }
        case 1: { // nothing or blanks typed: ?
            return {answer(), std::string(static_cast<size_t>(below(5)), ' ')};
        }
        case 2: { // the letters shuffled, or two swapped: Anagramme
            std::string e = answer();
            std::string t = e;
            if (chance(50) && t.size() >= 2) {
                const size_t i = static_cast<size_t>(below(static_cast<int>(t.size())));
                const size_t j = static_cast<size_t>(below(static_cast<int>(t.size())));
                std::swap(t[i], t[j]);
            } else {
                std::shuffle(t.begin(), t.end(), rng_);
            }
            return {e, changeCase(t)};
        }
        case 3: { // one edit: Quasiment
            std::string e = answer();
            return {e, blanksAround(changeCase(edited(e, 1)))};
        }
        case 4: { // two edits: Presque
            std::string e = answer();
            return {e, blanksAround(changeCase(edited(e, 2)))};
        }
        case 5: { // blanks inside doubled or added
            std::string e = answer();
            std::string t = e;
            const size_t at = static_cast<size_t>(below(static_cast<int>(t.size()) + 1));
            t.insert(at, static_cast<size_t>(1 + below(3)), ' ');
            return {e, changeCase(t)};
        }
        case 6: { // text appended before or after: Trop long
            std::string e = answer();
            std::string extra = word(3, 12);
            std::string t = chance(50) ? e + " " + extra : extra + " " + e;
            if (chance(20)) {
                t = word(1, 5) + e + word(1, 5);
            }
            return {e, blanksAround(changeCase(t))};
        }
        case 7: { // a part around 50, 70 or 80 % of the answer: Trop court, pas loin, and
                  // FAUX for answers of 9 characters or fewer
            std::string e = answer(6 + static_cast<size_t>(below(44)));
            static const int kPercent[] = {50, 70, 80};
            const int percent = kPercent[below(3)];
            const int length = static_cast<int>(e.size()) * percent / 100 + below(5) - 2;
            std::string t = part(e, static_cast<size_t>(std::max(length, 1)));
            return {e, changeCase(t)};
        }
        case 8: { // several edits: yade lidée or FAUX
            std::string e = answer(8 + static_cast<size_t>(below(60)));
            const int edits = 3 + below(std::max(1, static_cast<int>(e.size()) / 4));
            return {e, changeCase(edited(e, edits))};
        }
        case 9: { // unrelated: FAUX
            return {answer(), answer()};
        }
        case 10: { // accented letters in another case or without accent
            std::string e = answer();
            e.insert(static_cast<size_t>(below(static_cast<int>(e.size()) + 1)), 1,
                     kAccented[static_cast<size_t>(below(12))]);
            return {e, changeCase(accentChanges(e))};
        }
        case 11: { // empty expected answer
            return {"", blanksAround(word(0, 5))};
        }
        case 12: { // two letters only: the scan meets repeated beginnings (ANANAS)
            std::string e;
            std::string t;
            const int n = 2 + below(7);
            for (int i = 0; i < n; ++i) {
                e += chance(50) ? 'A' : 'N';
            }
            const int m = n + below(8) - 3;
            for (int i = 0; i < std::max(m, 1); ++i) {
                t += chance(50) ? 'a' : 'n';
            }
            if (chance(40)) {
                t = t + e; // contains the pattern, after a prefix that may mislead the scan
            }
            return {e, t};
        }
        default: { // 259-byte texts, typed ones sometimes longer than 259
            std::string e = answer(240 + static_cast<size_t>(below(20)));
            std::string t;
            switch (below(6)) {
            case 0:
                t = changeCase(e);
                break;
            case 1:
                t = edited(e, 1 + below(2));
                break;
            case 2:
                t = edited(e, 3 + below(60));
                break;
            case 3:
                t = part(e, e.size() * static_cast<size_t>(45 + below(40)) / 100);
                break;
            case 4:
                t = e + " " + word(3, 30);
                break;
            default:
                t = answer(200 + static_cast<size_t>(below(59)));
                break;
            }
            if (chance(30)) {
                t += std::string(static_cast<size_t>(below(40)), chance(50) ? ' ' : 'z');
            }
            return {e, t};
        }
        }
    }

    // A form that the tolerances have something to fold in.
    std::string foldableForm(size_t length) {
        std::string s = answer(length);
        const int extras = 1 + below(4);
        for (int i = 0; i < extras; ++i) {
            const std::string& from = chance(70) ? kFoldable : kQuotes;
            s.insert(static_cast<size_t>(below(static_cast<int>(s.size()) + 1)), 1,
                     from[static_cast<size_t>(below(static_cast<int>(from.size())))]);
        }
        return s;
    }

    // The form as players type it: letters of both cases flipped (\xE9 <-> \xC9, \x9C <->
    // \x8C, \xFF <-> \x9F), accents left out (\x9C as oe), quotes of the other kind.
    std::string looseTyping(const std::string& form) {
        static const char kBase[] = "aaaaaaaceeeeiiiidnooooo ouuuuyty";
        std::string t;
        for (char c : form) {
            const unsigned char u = static_cast<unsigned char>(c);
            const int roll = below(100);
            if (u >= 0xC0 && u != 0xD7 && u != 0xF7 && roll < 30) {
                t += static_cast<char>(u ^ 0x20);
            } else if ((u == 0x9A || u == 0x8A || u == 0x9E || u == 0x8E || u == 0x9C ||
                        u == 0x8C) &&
                       roll < 30) {
                t += static_cast<char>(u ^ 0x10);
            } else if (u >= 0xC0 && u != 0xD7 && u != 0xF7 && roll < 60) {
                const char base = kBase[(u - 0xC0) & 31];
                t += u == 0xC6 || u == 0xE6 ? std::string("ae") : std::string(1, base);
            } else if ((u == 0x9C || u == 0x8C) && roll < 60) {
                t += "oe";
            } else if (kQuotes.find(c) != std::string::npos && roll < 50) {
                t += kQuotes[static_cast<size_t>(below(static_cast<int>(kQuotes.size())))];
            } else {
                t += c;
            }
        }
        return changeCase(t);
    }

    // Several accepted forms, some alike, some long (where \x8C and \xC6 folded into two
    // letters meet the 259-byte cut), and a text typed from one of them, from none, or empty.
    FormsCase formsCase() {
        FormsCase c;
        c.tolerances = static_cast<uint32_t>(below(8));
        const int count = chance(85) ? 1 + below(3) : 4 + below(5);
        const bool longForms = chance(8);
        for (int i = 0; i < count; ++i) {
            c.forms.push_back(longForms    ? foldableForm(245 + static_cast<size_t>(below(15)))
                              : chance(50) ? foldableForm(1 + static_cast<size_t>(below(14)))
                                           : foldableForm(10 + static_cast<size_t>(below(30))));
            if (c.forms.back().size() > 259) {
                c.forms.back().resize(259);
            }
        }
        const std::string& from = c.forms[static_cast<size_t>(below(count))];
        switch (below(6)) {
        case 0:
            c.typed = blanksAround(looseTyping(from));
            break;
        case 1:
            c.typed = blanksAround(looseTyping(edited(from, 1 + below(2))));
            break;
        case 2:
            c.typed = looseTyping(edited(from, 3 + below(6)));
            break;
        case 3:
            c.typed =
                looseTyping(part(from, from.size() * static_cast<size_t>(50 + below(40)) / 100));
            break;
        case 4:
            c.typed = looseTyping(from + " " + word(3, 9));
            break;
        default:
            c.typed = chance(10) ? std::string(static_cast<size_t>(below(3)), ' ') : answer();
            break;
        }
        return c;
    }

    static constexpr int kKinds = 14;
    static constexpr int kLongKind = 13;

    // The kind of the n-th pair: every kind in turn, the slow 259-byte kind only every
    // third time round.
    int kindOfPair(uint64_t n) {
        int kind = static_cast<int>(n % kKinds);
        if (kind == kLongKind && (n / kKinds) % 3 != 0) {
            kind = below(kLongKind);
        }
        return kind;
    }

  private:
    std::mt19937_64 rng_;
};

inline uint64_t graderSeed() {
    return envNumber("QUIZZ_GRADER_SEED", std::random_device{}());
}

inline uint64_t graderPairCount() {
    return envNumber("QUIZZ_GRADER_PAIRS", kDefaultPairs);
}

} // namespace grader_pairs
