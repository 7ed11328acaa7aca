// Tests of the LZW block codec (content/lzw.h): the worked streams, the edge cases of the
// format, hostile streams, the statistics, allocation failures, and byte-identical
// streams against a naive reference encoder on random inputs.
//
// Random inputs print their seed; LZW_TEST_SEED=<seed> replays a run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "content/lzw.h"
#include "content/lzw_internal.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string hexOf(const Bytes& bytes, size_t limit = 48) {
    std::string out;
    char hex[4];
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        snprintf(hex, sizeof hex, "%02X ", bytes[i]);
        out += hex;
    }
    if (bytes.size() > limit) {
        out += "... (" + std::to_string(bytes.size()) + " bytes)";
    }
    return out;
}

struct Coded {
    int32_t result;
    Bytes bytes;
    bool bufferNull; // the codec left *out null
};

Coded encode(const Bytes& plain) {
    uint8_t* out = reinterpret_cast<uint8_t*>(1);
    int32_t length = -1;
    const int32_t result =
        lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length);
    Coded coded{result, {}, out == nullptr};
    if (out != nullptr) {
        coded.bytes.assign(out, out + length);
        lzwFreeBuffer(out);
    }
    return coded;
}

Coded decode(const Bytes& packed) {
    uint8_t* out = reinterpret_cast<uint8_t*>(1);
    int32_t length = -1;
    const int32_t result =
        lzwDecode(packed.data(), static_cast<int32_t>(packed.size()), &out, &length);
    Coded coded{result, {}, out == nullptr};
    if (out != nullptr) {
        coded.bytes.assign(out, out + length);
        lzwFreeBuffer(out);
    }
    return coded;
}

// --- Test-side stream tools, written bit by bit to be obviously right ----------------

// Writes codes most significant bit first and pads the last byte with zero bits.
class BitSink {
  public:
    void put(uint64_t value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            bits_.push_back(((value >> i) & 1) != 0);
        }
    }
    Bytes bytes() const {
        Bytes out((bits_.size() + 7) / 8, 0);
        for (size_t i = 0; i < bits_.size(); ++i) {
            if (bits_[i]) {
                out[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
            }
        }
        return out;
    }

  private:
    std::vector<bool> bits_;
};

// Hand-made streams: every code is written with the current width; widen() and reset()
// write their control code and change the width as the format says.
class StreamBuilder {
  public:
    StreamBuilder& code(uint32_t c) {
        sink_.put(c, width_);
        return *this;
    }
    StreamBuilder& widen() {
        sink_.put(WIDEN_CODE, width_++);
        return *this;
    }
    StreamBuilder& reset() {
        sink_.put(RESET_CODE, width_);
        width_ = 9;
        return *this;
    }
    // A dictionary code, widening first as far as it needs.
    StreamBuilder& wideCode(uint32_t c) {
        while ((static_cast<uint64_t>(c) >> width_) != 0) {
            widen();
        }
        return code(c);
    }
    StreamBuilder& end() { return code(END_CODE); }
    Bytes bytes() const { return sink_.bytes(); }

  private:
    BitSink sink_;
    int width_ = 9;
};

struct StreamCode {
    uint32_t code;
    int width;
};

// Reads a stream's codes up to and including END_CODE, following WIDEN and RESET.
// Reports a failure when the stream ends first.
std::vector<StreamCode> parseStream(const Bytes& stream) {
    std::vector<StreamCode> codes;
    size_t bit = 0;
    int width = 9;
    while (width <= 32) {
        if (bit + width > stream.size() * 8) {
            ADD_FAILURE() << "the stream ends before END_CODE";
            break;
        }
        uint32_t c = 0;
        for (int i = 0; i < width; ++i, ++bit) {
            c = c << 1 | ((stream[bit / 8] >> (7 - bit % 8)) & 1);
        }
        codes.push_back({c, width});
        if (c == END_CODE) {
            break;
        }
        if (c == WIDEN_CODE) {
            ++width;
        } else if (c == RESET_CODE) {
            width = 9;
        }
    }
    return codes;
}

int bitLength(uint32_t value) {
    int n = 0;
    while (value != 0) {
        ++n;
        value >>= 1;
    }
    return n;
}

// The naive reference encoder: a linear search through the dictionary, a bit-by-bit
// writer, and every step in the order the format describes.
struct ReferenceRun {
    Bytes stream;
    int resets = 0;
    int stringsBeforeFirstReset = 0; // codes of strings written before the first reset
    int pendingPrefixMatches = 0;    // entry 259 matched through a re-made prefix
    size_t firstResetAt = 0;         // index of the byte whose string filled the table
    std::string firstResetPrefix;    // the string written just before the first reset
};

ReferenceRun referenceEncode(const Bytes& plain) {
    ReferenceRun run;
    BitSink sink;
    std::vector<std::string> dictionary(4096);
    // Each entry's length and bytes as plain arrays, so that the linear search stays
    // quick in the unoptimised sanitizer build.
    std::vector<size_t> lengths(4096);
    std::vector<char> lasts(4096);
    std::vector<const char*> starts(4096);
    const auto setEntry = [&](int code, const std::string& s) {
        dictionary[code] = s;
        lengths[code] = s.size();
        lasts[code] = s.back();
        starts[code] = dictionary[code].data();
    };
    int nextCode = 259;
    int width = 9;
    int stringsWritten = 0;
    const auto codeOf = [&](const std::string& s) -> int {
        if (s.size() == 1) {
            return static_cast<uint8_t>(s[0]);
        }
        const size_t n = s.size();
        const char lastByte = s.back();
        const size_t* length = lengths.data();
        const char* last = lasts.data();
        const char* const* start = starts.data();
        for (int c = 259; c < nextCode; ++c) {
            if (length[c] == n && last[c] == lastByte && memcmp(start[c], s.data(), n) == 0) {
                return c;
            }
        }
        return -1;
    };
    const auto writeString = [&](const std::string& s) {
        const int c = codeOf(s);
        if (s.size() > 1) {
            while ((c >> width) != 0) {
                sink.put(WIDEN_CODE, width);
                ++width;
            }
        }
        sink.put(static_cast<uint32_t>(c), width);
        ++stringsWritten;
    };
    std::string current(1, static_cast<char>(plain[0]));
    for (size_t i = 1; i < plain.size(); ++i) {
        const std::string candidate = current + static_cast<char>(plain[i]);
        const int found = codeOf(candidate);
        if (found >= 0) {
            if (found == 259 && run.resets > 0 && current.size() > 1) {
                ++run.pendingPrefixMatches;
            }
            current = candidate;
            continue;
        }
        setEntry(nextCode++, candidate);
        writeString(current);
        current = std::string(1, static_cast<char>(plain[i]));
        if (nextCode == 4096) {
            if (run.resets++ == 0) {
                run.stringsBeforeFirstReset = stringsWritten;
                run.firstResetAt = i;
                run.firstResetPrefix = candidate.substr(0, candidate.size() - 1);
            }
            sink.put(RESET_CODE, width);
            nextCode = 259;
            setEntry(nextCode++, candidate);
            width = 9;
        }
    }
    writeString(current);
    sink.put(END_CODE, width);
    run.stream = sink.bytes();
    return run;
}

// A naive decoder over parsed codes, apart from the codec's own.
Bytes referenceDecode(const std::vector<StreamCode>& codes) {
    std::vector<std::string> dictionary(4096);
    for (int b = 0; b < 256; ++b) {
        dictionary[b] = std::string(1, static_cast<char>(b));
    }
    int nextCode = 259;
    std::string current(1, static_cast<char>(codes.at(0).code & 0xFF));
    std::string out;
    for (size_t i = 1; i < codes.size(); ++i) {
        const uint32_t c = codes[i].code;
        if (c == END_CODE) {
            out += current;
            break;
        }
        if (c == RESET_CODE) {
            nextCode = 259;
            continue;
        }
        if (c == WIDEN_CODE) {
            continue;
        }
        const std::string next =
            static_cast<int>(c) == nextCode ? current + current[0] : dictionary.at(c);
        dictionary.at(nextCode++) = current + next[0];
        out += current;
        current = next;
    }
    return Bytes(out.begin(), out.end());
}

// --- Inputs --------------------------------------------------------------------------

uint64_t testSeed() {
    static const uint64_t seed = [] {
        const char* text = getenv("LZW_TEST_SEED");
        const uint64_t chosen =
            text != nullptr ? strtoull(text, nullptr, 10) : std::random_device{}();
        printf("LZW random tests: seed %llu (replay with LZW_TEST_SEED=%llu)\n",
               static_cast<unsigned long long>(chosen), static_cast<unsigned long long>(chosen));
        return chosen;
    }();
    return seed;
}

enum InputKind { UNIFORM, FEW_SYMBOLS, WORDS, RUNS, INPUT_KINDS };

const char* kindName(int kind) {
    static const char* const names[] = {"uniform bytes", "few symbols", "words", "runs"};
    return names[kind];
}

Bytes makeInput(std::mt19937_64& random, int kind, size_t size) {
    static const char* const words[] = {"le ",         "la ",       "question ",  "r\351ponse ",
                                        "ch\342teau ", "for\352t ", "\351t\351 ", "c\234ur ",
                                        "Quel ",       "pays? ",    "capitale. ", "\r\n",
                                        "de ",         "Paris ",    "et "};
    Bytes out;
    out.reserve(size);
    const uint32_t symbols = 2 + static_cast<uint32_t>(random() % 4);
    while (out.size() < size) {
        switch (kind) {
        case UNIFORM:
            out.push_back(static_cast<uint8_t>(random()));
            break;
        case FEW_SYMBOLS:
            out.push_back(static_cast<uint8_t>('a' + random() % symbols));
            break;
        case WORDS: {
            const char* w = words[random() % (sizeof words / sizeof words[0])];
            for (; *w != '\0' && out.size() < size; ++w) {
                out.push_back(static_cast<uint8_t>(*w));
            }
            break;
        }
        default: {
            const uint8_t b = static_cast<uint8_t>(random());
            for (size_t n = 1 + random() % 40; n > 0 && out.size() < size; --n) {
                out.push_back(b);
            }
            break;
        }
        }
    }
    return out;
}

// 5000 bytes from a fixed seed: enough new strings to fill the dictionary.
Bytes variedBytes(size_t size = 5000) {
    std::mt19937_64 random(5000);
    return makeInput(random, UNIFORM, size);
}

// --- The worked streams ----------------------------------------------------------------

struct KnownStream {
    const char* plain;
    Bytes stream;
};

TEST(LzwStreams, WorkedExamplesPackAndUnpack) {
    const KnownStream rows[] = {
        {"abc", {0x30, 0x98, 0x8C, 0x70, 0x00}},  // 97, 98, 99, END
        {"aaaa", {0x30, 0xC0, 0xCC, 0x30, 0x00}}, // 97, 259, 97, END
        {"a", {0x30, 0xC0, 0x00}},                // 97, END
    };
    for (const KnownStream& row : rows) {
        SCOPED_TRACE(row.plain);
        const Coded packed = encode(bytesOf(row.plain));
        EXPECT_EQ(packed.result, LZW_OK);
        EXPECT_EQ(hexOf(packed.bytes), hexOf(row.stream));
        const Coded unpacked = decode(row.stream);
        EXPECT_EQ(unpacked.result, LZW_OK);
        EXPECT_EQ(unpacked.bytes, bytesOf(row.plain));
    }
}

TEST(LzwStreams, CodeEqualToNextCodeIsCurrentPlusItsFirstByte) {
    // "aaaa": the second code is 259 while the decoder is about to make 259 itself.
    const std::vector<StreamCode> codes = parseStream({0x30, 0xC0, 0xCC, 0x30, 0x00});
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[1].code, 259u);
    // Longer chains: each code is the entry being made.
    const Coded unpacked = decode(StreamBuilder().code('x').code(259).code(260).end().bytes());
    EXPECT_EQ(unpacked.result, LZW_OK);
    EXPECT_EQ(unpacked.bytes, bytesOf("xxxxxx"));
}

TEST(LzwStreams, EmptyInputIsRefusedBothWays) {
    const uint8_t byte = 0;
    uint8_t dummy[1];
    uint8_t* out = dummy;
    int32_t length = 7;
    EXPECT_EQ(lzwEncode(&byte, 0, &out, &length), LZW_NO_INPUT);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(lzwDecode(&byte, 0, &out, &length), LZW_NO_INPUT);
    EXPECT_EQ(lzwEncode(nullptr, 0, &out, &length), LZW_NO_INPUT);
    EXPECT_EQ(lzwDecode(nullptr, 0, &out, &length), LZW_NO_INPUT);
    // One byte cannot hold the 9-bit first code.
    EXPECT_EQ(decode({0x30}).result, LZW_NO_INPUT);
}

TEST(LzwStreams, BytesAfterTheStreamAreIgnored) {
    const Bytes stream = {0x30, 0x98, 0x8C, 0x70, 0x00, 0xFF, 0x12, 0x00, 0xAB};
    const Coded unpacked = decode(stream);
    EXPECT_EQ(unpacked.result, LZW_OK);
    EXPECT_EQ(unpacked.bytes, bytesOf("abc"));
    EXPECT_EQ(lzwInputConsumed(), 5);
}

TEST(LzwStreams, FirstCodeAboveAByteGivesItsLowEightBits) {
    const Coded unpacked = decode(StreamBuilder().code(0x141).code('B').end().bytes());
    EXPECT_EQ(unpacked.result, LZW_OK);
    EXPECT_EQ(unpacked.bytes, bytesOf("AB"));
}

TEST(LzwStreams, WidthsUpTo32BitsAreRead) {
    StreamBuilder stream;
    stream.code('a');
    for (int w = 9; w < 32; ++w) {
        stream.widen();
    }
    const Coded unpacked = decode(stream.code('b').code(259).end().bytes());
    EXPECT_EQ(unpacked.result, LZW_OK);
    EXPECT_EQ(unpacked.bytes, bytesOf("abab"));
}

// --- Malformed and hostile streams -----------------------------------------------------

// A stream whose strings grow by one byte per code ("a", "aa", "aaa", ...), widening
// as the codes need, until the output holds `total` bytes; the last string is cut to
// fit with byte codes. With `resetEvery`, a reset comes after that many codes.
Bytes growingStream(size_t total, int resetEvery = 0) {
    StreamBuilder stream;
    stream.code('a');
    size_t produced = 1;
    uint32_t next = 259; // the entry the decoder makes at the next code
    size_t length = 1;   // length of the last string
    int sinceReset = 0;
    while (produced + length + 1 <= total && next < 4095) {
        if (resetEvery != 0 && sinceReset == resetEvery) {
            stream.reset();
            next = 259;
            sinceReset = 0;
        }
        stream.wideCode(next++); // current + its own first byte
        ++length;
        produced += length;
        ++sinceReset;
    }
    for (; produced < total; ++produced) {
        stream.code('a');
    }
    return stream.end().bytes();
}

struct HostileRow {
    const char* name;
    Bytes stream;
    int32_t expected;
};

std::vector<HostileRow> hostileRows() {
    std::vector<HostileRow> rows;
    rows.push_back(
        {"code above nextCode", StreamBuilder().code('a').code(260).end().bytes(), LZW_BAD_CODE});
    rows.push_back({"first code above nextCode after a reset",
                    StreamBuilder().code('a').code('b').code('c').reset().code(261).end().bytes(),
                    LZW_BAD_CODE});
    rows.push_back({"cut before END_CODE", StreamBuilder().code('a').code('b').code('c').bytes(),
                    LZW_BAD_CODE});
    rows.push_back({"cut in the middle of a code", {0x30, 0x98, 0x8C}, LZW_BAD_CODE});
    {
        StreamBuilder stream;
        stream.code('a');
        for (int w = 9; w <= 32; ++w) {
            stream.widen(); // the last one announces 33 bits
        }
        rows.push_back({"width above 32 bits", stream.bytes(), LZW_BAD_CODE});
    }
    {
        // 3837 codes make entries 259..4095; one more would be entry 4096.
        StreamBuilder full;
        full.code('a');
        for (int i = 0; i < 3837; ++i) {
            full.code('a' + i % 3);
        }
        StreamBuilder over = full;
        rows.push_back({"dictionary exactly full", full.end().bytes(), LZW_OK});
        rows.push_back({"entry 4096", over.code('b').end().bytes(), LZW_BAD_CODE});
    }
    rows.push_back({"output of exactly 120000 bytes", growingStream(120000), LZW_OK});
    rows.push_back({"output of 120001 bytes", growingStream(120001), LZW_TOO_LARGE});
    // Strings can only reach 4096 bytes after 8 MB of output, so the output limit ends
    // such a stream first, also when resets keep the table from filling.
    rows.push_back({"string growing past resets", growingStream(20000000, 400), LZW_TOO_LARGE});
    return rows;
}

TEST(LzwMalformed, HostileStreamsFailCleanly) {
    for (const HostileRow& row : hostileRows()) {
        SCOPED_TRACE(row.name);
        const Coded unpacked = decode(row.stream);
        EXPECT_EQ(unpacked.result, row.expected) << lzwResultName(unpacked.result);
        if (row.expected != LZW_OK) {
            EXPECT_TRUE(unpacked.bufferNull);
        }
    }
}

TEST(LzwMalformed, EveryTruncationOfAStreamFails) {
    std::mt19937_64 random(7);
    const Coded packed = encode(makeInput(random, WORDS, 1500));
    ASSERT_EQ(packed.result, LZW_OK);
    // The END_CODE ends in the last byte; every shorter prefix lacks it.
    for (size_t keep = 0; keep < packed.bytes.size(); ++keep) {
        const Bytes cut(packed.bytes.begin(), packed.bytes.begin() + keep);
        const int32_t expected = keep < 2 ? LZW_NO_INPUT : LZW_BAD_CODE;
        const Coded unpacked = decode(cut);
        ASSERT_EQ(unpacked.result, expected) << "kept " << keep << " bytes";
        ASSERT_EQ(lzwInputConsumed(), static_cast<int32_t>(keep)) << "kept " << keep;
    }
}

// --- Limits --------------------------------------------------------------------------

TEST(LzwLimits, InputsOf65536BytesAreRefused) {
    const Bytes plain(65536, 'x');
    EXPECT_EQ(encode(plain).result, LZW_TOO_LARGE);
    EXPECT_EQ(decode(plain).result, LZW_TOO_LARGE);
    const Bytes largest(65535, 'x');
    const Coded packed = encode(largest);
    ASSERT_EQ(packed.result, LZW_OK);
    EXPECT_EQ(decode(packed.bytes).bytes, largest);
}

TEST(LzwLimits, IncompressibleInputTooLargeForThePackedBufferFails) {
    std::mt19937_64 random(65535);
    const Bytes plain = makeInput(random, UNIFORM, 65535);
    const int32_t before = lzwEncodedLength();
    const Coded packed = encode(plain);
    EXPECT_EQ(packed.result, LZW_TOO_LARGE);
    EXPECT_TRUE(packed.bufferNull);
    EXPECT_EQ(lzwEncodedLength(), before);
    // A random block that fits: about 1.34 packed bytes per byte.
    const Bytes fits(plain.begin(), plain.begin() + 48000);
    const Coded ok = encode(fits);
    ASSERT_EQ(ok.result, LZW_OK);
    EXPECT_LE(ok.bytes.size(), static_cast<size_t>(kLzwMaxInput));
    EXPECT_EQ(decode(ok.bytes).bytes, fits);
}

// --- Reset and widening -----------------------------------------------------------------

TEST(LzwReset, FullDictionaryResetsAndTheStreamStillUnpacks) {
    const Bytes plain = variedBytes();
    const Coded packed = encode(plain);
    ASSERT_EQ(packed.result, LZW_OK);
    const ReferenceRun reference = referenceEncode(plain);
    EXPECT_EQ(packed.bytes, reference.stream);
    EXPECT_GE(reference.resets, 1);
    EXPECT_EQ(reference.stringsBeforeFirstReset, 3837);

    const std::vector<StreamCode> codes = parseStream(packed.bytes);
    size_t reset = 0;
    while (reset < codes.size() && codes[reset].code != RESET_CODE) {
        ++reset;
    }
    ASSERT_LT(reset + 1, codes.size()) << "no RESET_CODE in the stream";
    int stringsBefore = 0;
    for (size_t i = 0; i < reset; ++i) {
        stringsBefore += codes[i].code != WIDEN_CODE ? 1 : 0;
    }
    EXPECT_EQ(stringsBefore, 3837); // each written just after its new string was made
    EXPECT_EQ(codes[reset + 1].width, 9);
    // After the reset the first new entry is 259 again: the first dictionary code that
    // follows is numbered from 259, and an independent decoder agrees on every byte.
    for (size_t i = reset + 1; i < codes.size(); ++i) {
        if (codes[i].code >= FIRST_FREE_CODE) {
            EXPECT_LT(codes[i].code, 259u + (i - reset));
            break;
        }
    }
    EXPECT_EQ(referenceDecode(codes), plain);
    EXPECT_EQ(decode(packed.bytes).bytes, plain);
}

// Checks, epoch by epoch, that every code fits its width, that every WIDEN_CODE is
// needed by the dictionary code after its run, and that the first code of 512 or more
// and the first of 1024 or more are preceded by a WIDEN_CODE written with 9 and with 10
// bits. Returns how many WIDEN_CODEs the stream has.
int checkWidening(const std::vector<StreamCode>& codes) {
    int widens = 0;
    bool seen512 = false;
    bool seen1024 = false;
    size_t runStart = 0; // first WIDEN_CODE of the run just before the current code
    for (size_t i = 0; i < codes.size(); ++i) {
        const StreamCode& c = codes[i];
        if (c.code == WIDEN_CODE) {
            widens += 1;
            if (i == 0 || codes[i - 1].code != WIDEN_CODE) {
                runStart = i;
            }
            continue;
        }
        const bool widened = i > 0 && codes[i - 1].code == WIDEN_CODE;
        if (c.code == RESET_CODE || c.code == END_CODE) {
            EXPECT_FALSE(widened) << "WIDEN_CODE before a control code, code " << i;
            if (c.code == RESET_CODE) {
                seen512 = seen1024 = false; // counting starts again at 9 bits
            }
            continue;
        }
        EXPECT_LE(bitLength(c.code), c.width) << "code " << i << " does not fit";
        if (widened) {
            EXPECT_GE(c.code, FIRST_FREE_CODE) << "a byte code was widened for, code " << i;
            EXPECT_GT(bitLength(c.code), codes[i - 1].width)
                << "the last WIDEN_CODE before code " << i << " was not needed";
        }
        const auto widenedFrom = [&](int width) {
            if (!widened) {
                return false;
            }
            for (size_t w = runStart; w < i; ++w) {
                if (codes[w].width == width) {
                    return true;
                }
            }
            return false;
        };
        if (c.code >= 512 && !seen512) {
            seen512 = true;
            EXPECT_TRUE(widenedFrom(9)) << "first code of 512 or more, code " << i;
        }
        if (c.code >= 1024 && !seen1024) {
            seen1024 = true;
            EXPECT_TRUE(widenedFrom(10)) << "first code of 1024 or more, code " << i;
        }
    }
    return widens;
}

TEST(LzwWidening, WidenCodesComeExactlyWhereACodeNeedsThem) {
    std::mt19937_64 random(1024);
    const Bytes plain = makeInput(random, WORDS, 65535); // several resets, codes to 4095
    const Coded packed = encode(plain);
    ASSERT_EQ(packed.result, LZW_OK);
    const std::vector<StreamCode> codes = parseStream(packed.bytes);
    int resets = 0;
    for (const StreamCode& c : codes) {
        resets += c.code == RESET_CODE ? 1 : 0;
    }
    EXPECT_GE(resets, 2);
    EXPECT_GE(checkWidening(codes), 3 * (resets + 1)); // 9->10->11->12 in each epoch
    EXPECT_EQ(decode(packed.bytes).bytes, plain);
}

TEST(LzwWidening, NoWidenWhenNoWrittenCodeReaches512) {
    // No byte pair repeats, so every string written is one byte long, while the
    // dictionary grows to about 2000 entries.
    std::mt19937_64 random(512);
    std::vector<bool> seen(65536, false);
    Bytes plain = {0};
    while (plain.size() < 2000) {
        uint8_t next = static_cast<uint8_t>(random());
        while (seen[plain.back() * 256 + next]) {
            ++next;
        }
        seen[plain.back() * 256 + next] = true;
        plain.push_back(next);
    }
    const Coded packed = encode(plain);
    ASSERT_EQ(packed.result, LZW_OK);
    const std::vector<StreamCode> codes = parseStream(packed.bytes);
    EXPECT_EQ(checkWidening(codes), 0);
    EXPECT_EQ(codes.size(), plain.size() + 1);
    EXPECT_EQ(packed.bytes.size(), (9 * (plain.size() + 1) + 7) / 8);
}

// --- Statistics ------------------------------------------------------------------------

TEST(LzwStatistics, QueriesFollowTheLastCalls) {
    struct Step {
        const char* what;
        Bytes input;
        bool encoding;
        int32_t result, inputLength, consumed, encodeInputLength, encodedLength;
    };
    const Bytes abcStream = {0x30, 0x98, 0x8C, 0x70, 0x00};
    Bytes abcWithTail = abcStream;
    abcWithTail.insert(abcWithTail.end(), {1, 2, 3});
    const Step steps[] = {
        {"encode abc", bytesOf("abc"), true, LZW_OK, 3, 3, 3, 5},
        {"decode abc plus 3 spare bytes", abcWithTail, false, LZW_OK, 8, 5, 3, 5},
        {"encode aaaa", bytesOf("aaaa"), true, LZW_OK, 4, 4, 4, 5},
        {"encode empty", {}, true, LZW_NO_INPUT, 0, 0, 0, 5},
        {"decode a bad stream", {0x30, 0xFF, 0xFF}, false, LZW_BAD_CODE, 3, 3, 0, 5},
        {"encode too much", Bytes(70000, 'z'), true, LZW_TOO_LARGE, 70000, 0, 70000, 5},
        {"encode a", bytesOf("a"), true, LZW_OK, 1, 1, 1, 3},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const Coded coded = step.encoding ? encode(step.input) : decode(step.input);
        EXPECT_EQ(coded.result, step.result);
        EXPECT_EQ(lzwInputLength(), step.inputLength);
        EXPECT_EQ(lzwInputConsumed(), step.consumed);
        EXPECT_EQ(lzwEncodeInputLength(), step.encodeInputLength);
        EXPECT_EQ(lzwEncodedLength(), step.encodedLength);
    }
}

TEST(LzwStatistics, ResultNames) {
    const std::pair<int32_t, const char*> rows[] = {
        {LZW_OK, "LZW_OK"},
        {LZW_NO_MEMORY, "LZW_NO_MEMORY"},
        {LZW_NO_INPUT, "LZW_NO_INPUT"},
        {LZW_WRITE_FAILED, "LZW_WRITE_FAILED"},
        {LZW_BAD_CODE, "LZW_BAD_CODE"},
        {LZW_TOO_LARGE, "LZW_TOO_LARGE"},
        {-1, "LZW_UNKNOWN"},
        {1, "LZW_UNKNOWN"},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(lzwResultName(row.first), row.second) << row.first;
    }
}

// --- Allocation failures ----------------------------------------------------------------

struct Alerts {
    int count = 0;
    std::string text, caption;
};
Alerts gAlerts;

void recordAlert(const char* text, const char* caption) {
    ++gAlerts.count;
    gAlerts.text = text;
    gAlerts.caption = caption;
}

TEST(LzwMemory, EveryAllocationFailureIsReportedAndOnlyTheOutputBuffersIsShown) {
    struct Row {
        const char* name;
        bool encoding;
        LzwLookup lookup;
    };
    // clang-format off
    const Row rows[] = {
        {"encode",                    true,  LZW_LOOKUP_HASH},
        {"encode with the list scan", true,  LZW_LOOKUP_LIST_SCAN},
        {"decode",                    false, LZW_LOOKUP_HASH},
    };
    // clang-format on
    std::mt19937_64 random(4);
    const Bytes plain = makeInput(random, WORDS, 8000); // many length lists
    const Coded reference = encode(plain);
    ASSERT_EQ(reference.result, LZW_OK);
    lzwSetAlert(recordAlert);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        lzwSetLookup(row.lookup);
        const auto call = [&] { return row.encoding ? encode(plain) : decode(reference.bytes); };
        // A call that finds no kept tables obtains them as well as its output.
        lzwReleaseTables();
        const int64_t before = lzwAllocationCount();
        ASSERT_EQ(call().result, LZW_OK);
        const int64_t allocations = lzwAllocationCount() - before;
        ASSERT_GE(allocations, row.lookup == LZW_LOOKUP_LIST_SCAN ? 5 : 2);
        int alerts = 0;
        for (int64_t nth = 1; nth <= allocations; ++nth) {
            gAlerts = Alerts{};
            lzwReleaseTables();
            lzwFailAllocation(static_cast<int32_t>(nth));
            const Coded coded = call();
            lzwFailAllocation(0);
            EXPECT_EQ(coded.result, LZW_NO_MEMORY) << "allocation " << nth;
            EXPECT_TRUE(coded.bufferNull) << "allocation " << nth;
            if (gAlerts.count != 0) {
                ++alerts;
                EXPECT_EQ(gAlerts.text, "Impossible d'allouer la memoire");
                EXPECT_EQ(gAlerts.caption, "information");
            }
        }
        EXPECT_EQ(alerts, 1); // only the output buffer's failure is shown
        // The codec works again afterwards, and a call that finds the tables kept only
        // obtains its output (plus the lists of the list scan).
        EXPECT_EQ(call().bytes, row.encoding ? reference.bytes : plain);
        if (row.lookup == LZW_LOOKUP_HASH) {
            const int64_t kept = lzwAllocationCount();
            EXPECT_EQ(call().result, LZW_OK);
            EXPECT_EQ(lzwAllocationCount() - kept, 1);
        }
        lzwSetLookup(LZW_LOOKUP_HASH);
    }
    lzwSetAlert(nullptr);
}

// --- Threads ------------------------------------------------------------------------------

// Each thread has its own state: two threads packing and unpacking at the same time get
// the streams and the statistics of their own calls.
TEST(LzwThreads, CallsOnTwoThreadsAtOnceKeepToTheirOwnData) {
    std::mt19937_64 random(testSeed() + 2);
    const Bytes inputs[2] = {makeInput(random, WORDS, 20000), makeInput(random, UNIFORM, 20000)};
    Bytes streams[2];
    for (int i = 0; i < 2; ++i) {
        streams[i] = encode(inputs[i]).bytes;
        ASSERT_FALSE(streams[i].empty());
    }
    int failures[2] = {0, 0};
    const auto work = [&](int i) {
        for (int round = 0; round < 20; ++round) {
            const Coded packed = encode(inputs[i]);
            failures[i] += packed.bytes != streams[i] ? 1 : 0;
            failures[i] += lzwEncodedLength() != static_cast<int32_t>(streams[i].size()) ? 1 : 0;
            failures[i] += decode(streams[i]).bytes != inputs[i] ? 1 : 0;
            failures[i] += lzwInputConsumed() != static_cast<int32_t>(streams[i].size()) ? 1 : 0;
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(failures[0], 0) << kindName(WORDS);
    EXPECT_EQ(failures[1], 0) << kindName(UNIFORM);
}

// --- Against the reference, on random inputs ----------------------------------------------

TEST(LzwReference, StreamsMatchTheNaiveEncoderOnRandomInputs) {
    std::mt19937_64 random(testSeed());
    std::vector<size_t> sizes;
    for (size_t n = 1; n <= 40; ++n) {
        sizes.push_back(n);
    }
    for (int i = 0; i < 24; ++i) {
        sizes.push_back(41 + random() % 5000);
    }
    sizes.push_back(65535);
    int pendingPrefixMatches = 0;
    int resets = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const size_t size = sizes[i];
        // The largest input is text-like, with several resets.
        const int kind = size == 65535 ? WORDS : static_cast<int>(i % INPUT_KINDS);
        const Bytes plain = makeInput(random, kind, size);
        SCOPED_TRACE(std::to_string(size) + " bytes of " + kindName(kind) + ", seed " +
                     std::to_string(testSeed()));
        const ReferenceRun reference = referenceEncode(plain);
        pendingPrefixMatches += reference.pendingPrefixMatches;
        resets += reference.resets;
        for (const LzwLookup lookup : {LZW_LOOKUP_HASH, LZW_LOOKUP_LIST_SCAN}) {
            lzwSetLookup(lookup);
            const Coded packed = encode(plain);
            lzwSetLookup(LZW_LOOKUP_HASH);
            if (reference.stream.size() > static_cast<size_t>(kLzwEncodeCapacity)) {
                EXPECT_EQ(packed.result, LZW_TOO_LARGE);
                continue;
            }
            ASSERT_EQ(packed.result, LZW_OK) << "lookup " << lookup;
            ASSERT_EQ(packed.bytes, reference.stream)
                << "lookup " << lookup << ": " << hexOf(packed.bytes) << " instead of "
                << hexOf(reference.stream);
            EXPECT_EQ(lzwEncodedLength(), static_cast<int32_t>(reference.stream.size()));
        }
        const Coded unpacked = decode(reference.stream);
        ASSERT_EQ(unpacked.result, LZW_OK);
        ASSERT_EQ(unpacked.bytes, plain);
    }
    printf("LZW reference: %d resets, entry 259 reached %d times through a string made "
           "again after its reset\n",
           resets, pendingPrefixMatches);
    EXPECT_GE(resets, 2);
}

// After a reset, entry 259 is the last string before it plus one byte. When that string
// is longer than one byte it is not in the new dictionary, so 259 can only be found
// once the string has been made again; both lookups must find it then.
TEST(LzwReference, EntryMadeAtAResetIsFoundOnceItsPrefixIsMadeAgain) {
    for (uint64_t seed = 1; seed < 200; ++seed) {
        std::mt19937_64 random(seed);
        const Bytes varied = makeInput(random, UNIFORM, 5000);
        const Coded packed = encode(varied);
        ASSERT_EQ(packed.result, LZW_OK);
        // The codes up to the first reset, and the string written just before it.
        std::vector<StreamCode> codes = parseStream(packed.bytes);
        size_t reset = 0;
        while (reset < codes.size() && codes[reset].code != RESET_CODE) {
            ++reset;
        }
        ASSERT_LT(reset, codes.size());
        if (codes[reset - 1].code < 256) {
            continue; // a one-byte prefix is found through its byte code at once
        }
        codes.resize(reset);
        codes.push_back({END_CODE, codes.back().width});
        const size_t covered = referenceDecode(codes).size(); // bytes before the reset
        // Up to the byte that filled the table, then the prefix (to make it again), and
        // the prefix plus that byte (to match entry 259), twice.
        const Bytes before(varied.begin(), varied.begin() + covered + 1);
        const ReferenceRun first = referenceEncode(before);
        ASSERT_EQ(first.resets, 1);
        ASSERT_EQ(first.firstResetAt, covered);
        const std::string& prefix = first.firstResetPrefix;
        ASSERT_GE(prefix.size(), 2u);
        Bytes plain = before;
        for (int copy = 0; copy < 3; ++copy) {
            plain.insert(plain.end(), prefix.begin(), prefix.end());
            plain.push_back(varied[covered]);
        }
        const ReferenceRun reference = referenceEncode(plain);
        ASSERT_GE(reference.pendingPrefixMatches, 1) << "seed " << seed;
        for (const LzwLookup lookup : {LZW_LOOKUP_HASH, LZW_LOOKUP_LIST_SCAN}) {
            lzwSetLookup(lookup);
            const Coded again = encode(plain);
            lzwSetLookup(LZW_LOOKUP_HASH);
            ASSERT_EQ(again.result, LZW_OK);
            EXPECT_EQ(again.bytes, reference.stream) << "seed " << seed << ", lookup " << lookup;
        }
        EXPECT_EQ(decode(reference.stream).bytes, plain);
        return;
    }
    FAIL() << "no seed gave a reset after a string of two bytes or more";
}

TEST(LzwReference, RoundTripsOfEveryKindAndSize) {
    std::mt19937_64 random(testSeed() + 1);
    for (int i = 0; i < 60; ++i) {
        const int kind = i % INPUT_KINDS;
        const size_t size = 1 + random() % (kind == UNIFORM ? 48000 : 65535);
        const Bytes plain = makeInput(random, kind, size);
        SCOPED_TRACE(std::to_string(size) + " bytes of " + kindName(kind) + ", seed " +
                     std::to_string(testSeed()));
        const Coded packed = encode(plain);
        ASSERT_EQ(packed.result, LZW_OK);
        ASSERT_LE(packed.bytes.size(), static_cast<size_t>(kLzwEncodeCapacity));
        const Coded unpacked = decode(packed.bytes);
        ASSERT_EQ(unpacked.result, LZW_OK);
        ASSERT_EQ(unpacked.bytes, plain);
    }
}

} // namespace
