// Speed of the LZW block codec on blocks of the size quizzes use.
//
//   lzw_bench [benchmark flags]          run the benchmarks
//   lzw_bench --write-text FILE BYTES    write the benchmark's French text (any length;
//   lzw_bench --write-random FILE BYTES  its first 61440 bytes are the benchmark's block)
//
// The text block is 60 KiB (61440 bytes). The random block is 48000 bytes: random bytes
// pack to about 1.343 bytes each, so 48000 of them make about 64500 packed bytes, which
// fits both the encoder's 80000-byte output and the decoder's 65535-byte packed input
// (the encoder alone would take up to about 59500 random bytes).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "content/lzw.h"
#include "content/lzw_internal.h"

namespace {

constexpr size_t kTextBlock = 61440;
constexpr size_t kRandomBlock = 48000;

// SplitMix64: small, fast and the same on every platform.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
};

// Quiz-flavoured French words, Windows-1252 (\351 is e acute, \234 the oe ligature...).
const char* const kWords[] = {
    "le",
    "la",
    "les",
    "de",
    "des",
    "du",
    "un",
    "une",
    "et",
    "est",
    "\340",
    "au",
    "en",
    "qui",
    "que",
    "quel",
    "quelle",
    "dans",
    "sur",
    "pour",
    "par",
    "avec",
    "sans",
    "plus",
    "tr\350s",
    "o\371",
    "\347a",
    "d\351j\340",
    "apr\350s",
    "voil\340",
    "\351t\351",
    "\352tre",
    "avoir",
    "fait",
    "question",
    "r\351ponse",
    "bonne",
    "premi\350re",
    "deuxi\350me",
    "derni\350re",
    "fran\347ais",
    "\351l\350ve",
    "fen\352tre",
    "ch\342teau",
    "for\352t",
    "h\364pital",
    "\356le",
    "c\234ur",
    "na\357f",
    "No\353l",
    "gar\347on",
    "le\347on",
    "mus\351e",
    "th\351\342tre",
    "cin\351ma",
    "chanson",
    "peintre",
    "\351crivain",
    "si\350cle",
    "ann\351e",
    "ville",
    "pays",
    "rivi\350re",
    "montagne",
    "mer",
    "capitale",
    "grand",
    "petit",
    "c\351l\350bre",
    "connu",
    "tableau",
    "roman",
    "auteur",
    "compositeur",
    "op\351ra",
    "\351quipe",
    "joueur",
    "victoire",
    "coupe",
    "monde",
    "Paris",
    "Lyon",
    "Marseille",
    "Qu\351bec",
    "fleuve",
    "r\351gion",
    "d\351partement",
    "\311tat",
    "r\351publique",
    "pr\351sident",
    "ma\356tre",
    "go\373t",
    "cr\350me",
    "br\373l\351e",
    "fa\347ade",
    "\234uvre",
    "na\357ve",
    "Citro\353n",
    "No\351mie",
    "H\351l\350ne",
    "Fran\347ois",
    "J\351r\364me",
};
constexpr uint32_t kWordCount = sizeof kWords / sizeof kWords[0];

// Sentences of 4 to 15 words, a capital first letter, a full stop or a question mark,
// and now and then a line break: the shape of quiz questions and answers.
std::vector<uint8_t> frenchText(size_t size) {
    Random random{20240601};
    std::vector<uint8_t> text;
    text.reserve(size + 64);
    while (text.size() < size) {
        const uint32_t words = 4 + random.below(12);
        for (uint32_t w = 0; w < words; ++w) {
            const char* word = kWords[random.below(kWordCount)];
            const size_t start = text.size();
            text.insert(text.end(), word, word + strlen(word));
            if (w == 0 && text[start] >= 'a' && text[start] <= 'z') {
                text[start] = static_cast<uint8_t>(text[start] - 'a' + 'A');
            }
            text.push_back(w + 1 == words ? (random.below(3) == 0 ? '?' : '.') : ' ');
        }
        if (random.below(4) == 0) {
            text.push_back('\r');
            text.push_back('\n');
        } else {
            text.push_back(' ');
        }
    }
    text.resize(size);
    return text;
}

std::vector<uint8_t> randomBytes(size_t size) {
    Random random{77};
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random.next() >> 56);
    }
    return bytes;
}

const std::vector<uint8_t>& textBlock() {
    static const std::vector<uint8_t> block = frenchText(kTextBlock);
    return block;
}

const std::vector<uint8_t>& randomBlock() {
    static const std::vector<uint8_t> block = randomBytes(kRandomBlock);
    return block;
}

void encodeBlock(benchmark::State& state, const std::vector<uint8_t>& block, LzwLookup lookup) {
    lzwSetLookup(lookup);
    int32_t packedLength = 0;
    for (auto _ : state) {
        uint8_t* packed = nullptr;
        const int32_t result =
            lzwEncode(block.data(), static_cast<int32_t>(block.size()), &packed, &packedLength);
        if (result != LZW_OK) {
            state.SkipWithError(lzwResultName(result));
            break;
        }
        benchmark::DoNotOptimize(packed);
        lzwFreeBuffer(packed);
    }
    lzwSetLookup(LZW_LOOKUP_HASH);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.size()));
    state.counters["packed_bytes"] = packedLength;
}

void decodeBlock(benchmark::State& state, const std::vector<uint8_t>& block) {
    uint8_t* packed = nullptr;
    int32_t packedLength = 0;
    if (lzwEncode(block.data(), static_cast<int32_t>(block.size()), &packed, &packedLength) !=
        LZW_OK) {
        state.SkipWithError("the block does not encode");
        return;
    }
    for (auto _ : state) {
        uint8_t* plain = nullptr;
        int32_t plainLength = 0;
        const int32_t result = lzwDecode(packed, packedLength, &plain, &plainLength);
        if (result != LZW_OK) {
            state.SkipWithError(lzwResultName(result));
            break;
        }
        benchmark::DoNotOptimize(plain);
        lzwFreeBuffer(plain);
    }
    lzwFreeBuffer(packed);
    // Throughput counts the unpacked bytes, as for the encoder and for uncompress.
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.size()));
    state.counters["packed_bytes"] = packedLength;
}

void BM_EncodeText(benchmark::State& state) {
    encodeBlock(state, textBlock(), LZW_LOOKUP_HASH);
}
void BM_DecodeText(benchmark::State& state) {
    decodeBlock(state, textBlock());
}
void BM_EncodeRandom(benchmark::State& state) {
    encodeBlock(state, randomBlock(), LZW_LOOKUP_HASH);
}
void BM_DecodeRandom(benchmark::State& state) {
    decodeBlock(state, randomBlock());
}
// The same encodes with the plain length-index scan, to show what the hash gains.
void BM_EncodeTextListScan(benchmark::State& state) {
    encodeBlock(state, textBlock(), LZW_LOOKUP_LIST_SCAN);
}
void BM_EncodeRandomListScan(benchmark::State& state) {
    encodeBlock(state, randomBlock(), LZW_LOOKUP_LIST_SCAN);
}

BENCHMARK(BM_EncodeText);
BENCHMARK(BM_DecodeText);
BENCHMARK(BM_EncodeRandom);
BENCHMARK(BM_DecodeRandom);
BENCHMARK(BM_EncodeTextListScan);
BENCHMARK(BM_EncodeRandomListScan);

int writeData(const char* kind, const char* path, const char* sizeText) {
    char* end = nullptr;
    const unsigned long long size = strtoull(sizeText, &end, 10);
    if (end == sizeText || *end != '\0' || size == 0 || size > (1ull << 32)) {
        fprintf(stderr, "lzw_bench: '%s' is not a byte count (1 to 4294967296)\n", sizeText);
        return 2;
    }
    const std::vector<uint8_t> data =
        strcmp(kind, "text") == 0 ? frenchText(size) : randomBytes(size);
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        perror(path);
        return 2;
    }
    const bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
    if (fclose(file) != 0 || !written) {
        perror(path);
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "--write-text") == 0) {
        return writeData("text", argv[2], argv[3]);
    }
    if (argc == 4 && strcmp(argv[1], "--write-random") == 0) {
        return writeData("random", argv[2], argv[3]);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
