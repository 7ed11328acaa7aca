// Gradings per second of gradeText: the worst case, two 259-byte texts that go
// all the way to the similarity step, and typical short answers; and of gradeAnswer with the
// most an answer can hold: eight such forms, every tolerance folding every text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "checking/grader.h"
#include "content/quiz.h"

namespace {

// Two 259-byte texts with no common beginning or end, not anagrams, neither inside the
// other, distance 3 or more: every step up to the similarity runs on a full 259 x 259 table.
struct WorstCase {
    std::string expected;
    std::string typed;
    WorstCase() {
        const char* words = "le petit prince apprivoise le renard sous les etoiles du desert ";
        while (expected.size() < 259) {
            expected += words;
        }
        expected.resize(259);
        expected[0] = 'L';
        expected[258] = 'x';
        typed = expected;
        for (size_t i = 0; i < typed.size(); i += 9) { // 29 replaced letters: distance 29
            typed[i] = typed[i] == 'q' ? 'w' : 'q';
        }
        typed[258] = 'z';
    }
};

void BM_GradeWorstCase259(benchmark::State& state) {
    static const WorstCase texts;
    const char* verdict = gradeText(texts.expected.c_str(), texts.typed.c_str());
    if (strcmp(verdict, kVerdictSimilar) != 0 && strcmp(verdict, kVerdictWrong) != 0) {
        state.SkipWithError("the worst case did not reach the similarity step");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradeText(texts.expected.c_str(), texts.typed.c_str()));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.SetLabel(verdict == kVerdictSimilar ? "yade lidee" : "FAUX");
}
BENCHMARK(BM_GradeWorstCase259);

// The worst grading an answer with accepted forms can ask for: eight forms of 259 bytes, none
// near the typed text, so each goes to the similarity step, with accented letters for every
// tolerance to fold.
void BM_GradeWorstCaseEightForms(benchmark::State& state) {
    static const WorstCase texts;
    std::string forms[kMaxAnswerForms];
    const char* pointers[kMaxAnswerForms];
    for (int i = 0; i < kMaxAnswerForms; ++i) {
        forms[i] = texts.expected;
        for (size_t j = static_cast<size_t>(i) + 1; j < forms[i].size(); j += 8) {
            forms[i][j] = "\xE9\xC9\x9C\x92"[(i + j) % 4]; // é É œ ’
        }
        pointers[i] = forms[i].c_str();
    }
    const char* verdict =
        gradeAnswer(pointers, kMaxAnswerForms, texts.typed.c_str(), kAllTolerances);
    if (strcmp(verdict, kVerdictSimilar) != 0 && strcmp(verdict, kVerdictWrong) != 0) {
        state.SkipWithError("the forms did not all reach the similarity step");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            gradeAnswer(pointers, kMaxAnswerForms, texts.typed.c_str(), kAllTolerances));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
    state.SetLabel(verdict == kVerdictSimilar ? "yade lidee" : "FAUX");
}
BENCHMARK(BM_GradeWorstCaseEightForms);

// Two unrelated 259-byte texts: FAUX after the full table as well.
void BM_GradeUnrelated259(benchmark::State& state) {
    std::string expected(259, 'a');
    std::string typed(259, 'b');
    for (size_t i = 0; i < 259; ++i) {
        expected[i] = static_cast<char>('a' + (i * 7) % 26);
        typed[i] = static_cast<char>('a' + (i * 11 + 3) % 26);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradeText(expected.c_str(), typed.c_str()));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_GradeUnrelated259);

// A typical quiz: short answers, typed with the usual slips.
void BM_GradeTypicalShort(benchmark::State& state) {
    static const char* const kPairs[][2] = {
        {"Tour Eiffel", "  tour eiffel "},
        {"Chocolat", "chocolas"},
        {"Le petit prince", "le petite prinse"},
        {"Lion", "loin"},
        {"Paris", "paris france"},
        {"Revolution francaise", "revolution franc"},
        {"Chateau de Versailles", "chato de versaille"},
        {"Londres", "berlin"},
    };
    constexpr size_t kCount = sizeof kPairs / sizeof kPairs[0];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradeText(kPairs[i][0], kPairs[i][1]));
        i = i + 1 == kCount ? 0 : i + 1;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_GradeTypicalShort);

// One typical wrong answer on its own: a short FAUX that fills a small table.
void BM_GradeShortWrong(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(gradeText("Chateau de Versailles", "palais du louvre"));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_GradeShortWrong);

} // namespace

BENCHMARK_MAIN();
