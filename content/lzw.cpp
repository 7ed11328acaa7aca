// LZW block codec. Both directions share one process-wide LzwState; each call sets it up
// with lzwInit, codes, and releases everything with lzwFreeAll before it returns, so only
// the statistics and the caller's output buffer outlive a call.
//
// Speed. A quiz is unpacked once per start, but the codec is also the authoring tool's
// packer, and both directions are meant to keep up with the classic `compress`. Three
// choices make that possible without changing a single bit of any stream:
// - the encoder finds (current string + next byte) through a hash of (code of the current
//   string, byte) kept beside the length index, instead of comparing the candidate with
//   every entry of its length (the index is still kept, and the scan is still here for
//   the tests and the benchmark, see lzwSetLookup);
// - `current` and `candidate` are views, not copies: the encoder's current string is the
//   input bytes from where it started, the decoder's is the last string it wrote to the
//   output, and the candidate is built straight into its new dictionary entry;
// - entry strings are cut from large blocks owned by the dictionary, not allocated one
//   by one, and strings of up to 16 bytes are copied as one 16-byte block.
#include "content/lzw.h"

#include <cstdlib>
#include <cstring>

#include "content/lzw_internal.h"

// The inner operations run once per code or per byte; without this the compilers the
// project uses keep some of them as calls.
#if defined(__GNUC__)
#define LZW_INLINE inline __attribute__((always_inline))
#else
#define LZW_INLINE inline
#endif

namespace {

constexpr int32_t kModeEncode = 1;
constexpr int32_t kModeDecode = 2;

constexpr int32_t kDictionarySize = 4096;   // codes 0..4095
constexpr int32_t kStringCapacity = 4096;   // longest string the codec builds
constexpr int32_t kStagingCapacity = 32768; // bytes the bit writer gathers before copying
constexpr uint32_t kFirstWidth = 9;
constexpr uint32_t kMaxWidth = 32;

// The encoder's hash of (prefix code, next byte) -> code. Twice the dictionary's size
// keeps the linear probes short (load factor below one half).
constexpr uint32_t kHashBits = 13;
constexpr uint32_t kHashSlots = 1u << kHashBits;

// Strings are short (a few bytes in text), and a call to copy three bytes costs more
// than copying a fixed 16. Every buffer the codec copies strings into or out of has
// kCopySlack spare bytes behind its capacity, so the over-copy stays inside it.
constexpr uint32_t kCopySlack = 16;

// Entry strings are cut from chunks of this size that belong to the dictionary.
constexpr uint32_t kPoolChunkSize = 65536;

struct LzwPoolChunk {
    LzwPoolChunk* next;
    uint32_t used;
    uint32_t capacity; // kCopySlack more bytes follow
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this + 1); }
};

// A reset rewinds the chunks: no entry made before it can be reached again.
struct LzwPool {
    LzwPoolChunk* first;
    LzwPoolChunk* active; // the chunk new strings are cut from
};

struct LzwEntry {
    uint8_t* bytes;
    uint16_t capacity;
    uint16_t length;
};

// A string the codec does not own: a view into the input, the output or an entry.
struct LzwString {
    const uint8_t* bytes;
    uint16_t length;
};

struct LzwInput {
    const uint8_t* bytes; // the caller's, read in place
    uint16_t length;
    uint16_t position;
};

struct LzwOutput {
    uint8_t* bytes; // handed to the caller on success
    int32_t length;
};

struct LzwStatistics {
    int32_t inputLength;       // input length of the last call of either direction
    int32_t inputConsumed;     // input bytes read by the last call
    int32_t encodeInputLength; // input length of the last encode
    int32_t encodedLength;     // packed length of the last successful encode
};

struct LzwState {
    int32_t mode; // kModeEncode or kModeDecode
    LzwEntry* dictionary;
    LzwPool strings; // the bytes of entries 259 and up
    uint16_t nextCode;
    uint16_t** lengthIndex; // encoder: per string length, the codes of that length
    uint16_t* lengthCount;
    uint16_t longestListed; // encoder: no list exists for a longer length
    // Views (see above). The coding loops keep `current` in locals and store it here when
    // they stop; `candidate` is the entry made last, current plus one byte.
    LzwString current;
    LzwString candidate;
    LzwInput input;
    uint8_t* staging;
    uint16_t stagingFill;
    uint8_t bitAccumulator; // pending bits, held at the top of the byte
    uint8_t bitCount;       // 0..7
    LzwOutput output;
    LzwStatistics statistics;
    // Encoder lookup kept beside the length index: slot = key << 12 | code, 0 = empty,
    // where key = prefix code << 8 | byte (20 bits). Codes in it are always >= 259.
    uint32_t* hashSlots;
    // After a reset, entry 259 is the previous string plus one byte, and that previous
    // string is not in the new dictionary. Its (prefix code, byte) key can only be made
    // once the string is added again; until then this holds its length (0: nothing).
    uint16_t pendingPrefixLength;
};

// Settings of the codec itself, not of one call.
struct LzwSettings {
    LzwAlertFn alert;
    LzwLookup lookup;
    int32_t failAllocationIn; // 0: off; n: the nth allocation from now fails
    int64_t allocations;
};

LzwState gLzw;
LzwSettings gLzwSettings;

// Entries 0..255 are the one-byte strings; they point into this table instead of
// 256 separate allocations, which would cost more than a short encode itself.
uint8_t gByteStrings[256 + kCopySlack];

void* lzwAllocate(size_t size, bool zeroed) {
    ++gLzwSettings.allocations;
    if (gLzwSettings.failAllocationIn > 0 && --gLzwSettings.failAllocationIn == 0) {
        return nullptr;
    }
    return zeroed ? calloc(1, size) : malloc(size);
}

void lzwAlert(const char* text, const char* caption) {
    if (gLzwSettings.alert != nullptr) {
        gLzwSettings.alert(text, caption);
    }
}

// Copies a string whose source may be read up to kCopySlack bytes beyond its end.
LZW_INLINE void copyString(uint8_t* to, const uint8_t* from, uint32_t length) {
    if (length <= kCopySlack) {
        memcpy(to, from, kCopySlack);
    } else {
        memcpy(to, from, length);
    }
}

// Returns 0 or LZW_NO_MEMORY. Whatever was obtained is released by lzwFreeAll, also
// after a failure.
int32_t lzwInit(int32_t mode) {
    gLzw.mode = mode;
    gLzw.dictionary = nullptr;
    gLzw.strings = LzwPool{};
    gLzw.lengthIndex = nullptr;
    gLzw.lengthCount = nullptr;
    gLzw.longestListed = 0;
    gLzw.current = LzwString{};
    gLzw.candidate = LzwString{};
    gLzw.input = LzwInput{};
    gLzw.staging = nullptr;
    gLzw.stagingFill = 0;
    gLzw.bitAccumulator = 0;
    gLzw.bitCount = 0;
    gLzw.hashSlots = nullptr;
    gLzw.pendingPrefixLength = 0;

    gLzw.staging = static_cast<uint8_t*>(lzwAllocate(kStagingCapacity, false));
    gLzw.dictionary = static_cast<LzwEntry*>(lzwAllocate(sizeof(LzwEntry) * kDictionarySize, true));
    if (gLzw.staging == nullptr || gLzw.dictionary == nullptr) {
        return LZW_NO_MEMORY;
    }
    for (int32_t b = 0; b < 256; ++b) {
        gByteStrings[b] = static_cast<uint8_t>(b);
        gLzw.dictionary[b] = LzwEntry{&gByteStrings[b], 1, 1};
    }
    gLzw.nextCode = FIRST_FREE_CODE;
    if (mode == kModeEncode) {
        gLzw.lengthIndex =
            static_cast<uint16_t**>(lzwAllocate(sizeof(uint16_t*) * kDictionarySize, true));
        gLzw.lengthCount =
            static_cast<uint16_t*>(lzwAllocate(sizeof(uint16_t) * kDictionarySize, true));
        gLzw.hashSlots = static_cast<uint32_t*>(lzwAllocate(sizeof(uint32_t) * kHashSlots, true));
        if (gLzw.lengthIndex == nullptr || gLzw.lengthCount == nullptr ||
            gLzw.hashSlots == nullptr) {
            return LZW_NO_MEMORY;
        }
    }
    return 0;
}

void releaseLengthLists() {
    for (int32_t length = 0; length <= gLzw.longestListed; ++length) {
        free(gLzw.lengthIndex[length]);
        gLzw.lengthIndex[length] = nullptr;
        gLzw.lengthCount[length] = 0;
    }
    gLzw.longestListed = 0;
}

void lzwFreeAll() {
    free(gLzw.dictionary);
    gLzw.dictionary = nullptr;
    for (LzwPoolChunk* chunk = gLzw.strings.first; chunk != nullptr;) {
        LzwPoolChunk* next = chunk->next;
        free(chunk);
        chunk = next;
    }
    gLzw.strings = LzwPool{};
    if (gLzw.lengthIndex != nullptr && gLzw.lengthCount != nullptr) {
        releaseLengthLists();
    }
    free(gLzw.lengthIndex);
    gLzw.lengthIndex = nullptr;
    free(gLzw.lengthCount);
    gLzw.lengthCount = nullptr;
    free(gLzw.hashSlots);
    gLzw.hashSlots = nullptr;
    gLzw.current = LzwString{};
    gLzw.candidate = LzwString{};
    free(gLzw.staging);
    gLzw.staging = nullptr;
    gLzw.stagingFill = 0;
    gLzw.input = LzwInput{};
}

// Room for `length` bytes of a new entry when the active chunk is full, or null when
// memory runs out.
uint8_t* poolAllocateSlow(uint32_t length) {
    LzwPool& pool = gLzw.strings;
    LzwPoolChunk* last = nullptr;
    LzwPoolChunk* chunk = pool.active;
    while (chunk != nullptr && chunk->capacity - chunk->used < length) {
        last = chunk;
        chunk = chunk->next;
        if (chunk != nullptr) {
            chunk->used = 0; // a chunk after the active one holds nothing reachable
        }
    }
    if (chunk == nullptr) {
        const uint32_t capacity = length > kPoolChunkSize ? length : kPoolChunkSize;
        chunk = static_cast<LzwPoolChunk*>(
            lzwAllocate(sizeof(LzwPoolChunk) + capacity + kCopySlack, false));
        if (chunk == nullptr) {
            return nullptr;
        }
        *chunk = LzwPoolChunk{nullptr, 0, capacity};
        if (last == nullptr) {
            pool.first = chunk;
        } else {
            last->next = chunk;
        }
    }
    pool.active = chunk;
    uint8_t* bytes = chunk->bytes() + chunk->used;
    chunk->used += length;
    return bytes;
}

LZW_INLINE uint8_t* poolAllocate(uint32_t length) {
    LzwPoolChunk* chunk = gLzw.strings.active;
    if (chunk == nullptr || chunk->capacity - chunk->used < length) {
        return poolAllocateSlow(length);
    }
    uint8_t* bytes = chunk->bytes() + chunk->used;
    chunk->used += length;
    return bytes;
}

void rewindPool() {
    LzwPool& pool = gLzw.strings;
    pool.active = pool.first;
    if (pool.first != nullptr) {
        pool.first->used = 0;
    }
}

// How lzwAddEntry may read the prefix it copies.
enum PrefixSource : int32_t {
    PREFIX_HAS_SLACK, // kCopySlack bytes after the prefix may be read
    PREFIX_EXACT,     // nothing after the prefix may be read (the caller's input)
};

// Stores `prefix` followed by `last` as entry nextCode (the candidate) and, when
// encoding, lists the code under its length. Returns LZW_OK, LZW_NO_MEMORY, or
// LZW_BAD_CODE when the table is full or the string would be longer than 4096 bytes
// (never the case for a stream made by the encoder; the decoder checks both first).
LZW_INLINE int32_t lzwAddEntry(const uint8_t* prefix, uint32_t prefixLength, uint8_t last,
                               PrefixSource source) {
    const uint16_t code = gLzw.nextCode;
    const uint32_t length = prefixLength + 1;
    if (code >= kDictionarySize || length > kStringCapacity ||
        (gLzw.mode == kModeEncode && length >= kDictionarySize)) {
        return LZW_BAD_CODE;
    }
    LzwEntry* entry = &gLzw.dictionary[code];
    uint8_t* bytes = poolAllocate(length);
    if (bytes == nullptr) {
        *entry = LzwEntry{};
        return LZW_NO_MEMORY;
    }
    if (source == PREFIX_HAS_SLACK) {
        copyString(bytes, prefix, prefixLength);
    } else {
        memcpy(bytes, prefix, prefixLength);
    }
    bytes[prefixLength] = last;
    *entry = LzwEntry{bytes, static_cast<uint16_t>(length), static_cast<uint16_t>(length)};
    gLzw.candidate = LzwString{bytes, static_cast<uint16_t>(length)};
    if (gLzw.mode == kModeEncode) {
        uint16_t*& list = gLzw.lengthIndex[length];
        if (list == nullptr) {
            list = static_cast<uint16_t*>(lzwAllocate(sizeof(uint16_t) * kDictionarySize, false));
            if (list == nullptr) {
                return LZW_NO_MEMORY;
            }
            if (length > gLzw.longestListed) {
                gLzw.longestListed = static_cast<uint16_t>(length);
            }
        }
        list[gLzw.lengthCount[length]++] = code;
    }
    gLzw.nextCode = static_cast<uint16_t>(code + 1);
    return LZW_OK;
}

// --- Bit writer (encoder) ---------------------------------------------------------------

int32_t appendStaging() {
    if (gLzw.output.length > kLzwEncodeCapacity - gLzw.stagingFill) {
        return LZW_TOO_LARGE;
    }
    memcpy(gLzw.output.bytes + gLzw.output.length, gLzw.staging, gLzw.stagingFill);
    gLzw.output.length += gLzw.stagingFill;
    gLzw.stagingFill = 0;
    return LZW_OK;
}

LZW_INLINE int32_t storeByte(uint8_t byte) {
    if (gLzw.stagingFill == kStagingCapacity) {
        const int32_t result = appendStaging();
        if (result != LZW_OK) {
            return result;
        }
    }
    gLzw.staging[gLzw.stagingFill++] = byte;
    return LZW_OK;
}

// Appends the low `width` bits of value, most significant first. Returns LZW_OK,
// LZW_WRITE_FAILED for a width above 32 (nothing written) or LZW_TOO_LARGE when the
// output buffer is full.
LZW_INLINE int32_t lzwWriteBits(uint32_t value, uint32_t width) {
    if (width > kMaxWidth) {
        return LZW_WRITE_FAILED;
    }
    const uint64_t bits = value & ((uint64_t{1} << width) - 1);
    if (gLzw.bitCount + width < 8) {
        gLzw.bitAccumulator |= static_cast<uint8_t>(bits << (8 - gLzw.bitCount - width));
        gLzw.bitCount = static_cast<uint8_t>(gLzw.bitCount + width);
        return LZW_OK;
    }
    uint32_t left = width - (8 - gLzw.bitCount);
    int32_t result = storeByte(static_cast<uint8_t>(gLzw.bitAccumulator | (bits >> left)));
    while (result == LZW_OK && left >= 8) {
        left -= 8;
        result = storeByte(static_cast<uint8_t>(bits >> left));
    }
    gLzw.bitAccumulator = left == 0 ? 0 : static_cast<uint8_t>(bits << (8 - left));
    gLzw.bitCount = static_cast<uint8_t>(left);
    return result;
}

// --- Encoder --------------------------------------------------------------------------

LZW_INLINE uint32_t hashSlotOf(uint32_t key) {
    return (key * 2654435761u) >> (32 - kHashBits);
}

// The code stored for (prefix code, byte), or 0 with *freeSlot set to where it would go.
LZW_INLINE uint16_t hashFind(uint16_t prefixCode, uint8_t byte, uint32_t* freeSlot) {
    const uint32_t key = static_cast<uint32_t>(prefixCode) << 8 | byte;
    for (uint32_t slot = hashSlotOf(key);; slot = (slot + 1) & (kHashSlots - 1)) {
        const uint32_t value = gLzw.hashSlots[slot];
        if (value == 0) {
            *freeSlot = slot;
            return 0;
        }
        if (value >> 12 == key) {
            return static_cast<uint16_t>(value & 0xFFF);
        }
    }
}

LZW_INLINE void hashInsert(uint32_t slot, uint16_t prefixCode, uint8_t byte, uint16_t code) {
    gLzw.hashSlots[slot] = (static_cast<uint32_t>(prefixCode) << 8 | byte) << 12 | code;
}

void hashInsertAnywhere(uint16_t prefixCode, uint8_t byte, uint16_t code) {
    uint32_t slot = 0;
    hashFind(prefixCode, byte, &slot);
    hashInsert(slot, prefixCode, byte, code);
}

// The length-index scan: compares `prefix` followed by `byte` with every entry of that
// length, in list order. Returns the entry's code, or 0.
uint16_t scanLengthList(const uint8_t* prefix, uint32_t prefixLength, uint8_t byte) {
    const uint32_t length = prefixLength + 1;
    if (length > gLzw.longestListed) {
        return 0;
    }
    const uint16_t* list = gLzw.lengthIndex[length];
    const uint16_t count = gLzw.lengthCount[length];
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* entry = gLzw.dictionary[list[i]].bytes;
        if (entry[prefixLength] == byte && memcmp(entry, prefix, prefixLength) == 0) {
            return list[i];
        }
    }
    return 0;
}

// After entry `code` is made: if it is the string entry 259 was made from before the
// last reset, entry 259 becomes reachable through it.
void linkPendingPrefix(uint16_t code) {
    const uint16_t pending = gLzw.pendingPrefixLength;
    const LzwEntry& made = gLzw.dictionary[code];
    const LzwEntry& first = gLzw.dictionary[FIRST_FREE_CODE];
    if (made.length == pending && memcmp(made.bytes, first.bytes, pending) == 0) {
        hashInsertAnywhere(code, first.bytes[pending], FIRST_FREE_CODE);
        gLzw.pendingPrefixLength = 0;
    }
}

// Forgets every entry from 259 up and adds the candidate (`prefix` followed by `byte`)
// again as entry 259. `prefixCode` is the prefix's code before the reset.
int32_t restartDictionary(const uint8_t* prefix, uint32_t prefixLength, uint16_t prefixCode,
                          uint8_t byte) {
    gLzw.nextCode = FIRST_FREE_CODE;
    rewindPool();
    releaseLengthLists();
    gLzw.pendingPrefixLength = 0;
    if (gLzwSettings.lookup == LZW_LOOKUP_HASH) {
        memset(gLzw.hashSlots, 0, sizeof(uint32_t) * kHashSlots);
    }
    const int32_t result = lzwAddEntry(prefix, prefixLength, byte, PREFIX_EXACT);
    if (result != LZW_OK || gLzwSettings.lookup != LZW_LOOKUP_HASH) {
        return result;
    }
    if (prefixLength == 1) {
        hashInsertAnywhere(prefixCode, byte, FIRST_FREE_CODE); // byte codes never change
    } else {
        gLzw.pendingPrefixLength = static_cast<uint16_t>(prefixLength);
    }
    return LZW_OK;
}

// A one-byte string goes out as its byte with the current width; a longer one first
// widens the stream until its code fits.
LZW_INLINE int32_t writeStringCode(uint16_t code, uint32_t length, uint32_t* width) {
    if (length > 1) {
        while ((code >> *width) != 0) {
            const int32_t result = lzwWriteBits(WIDEN_CODE, *width);
            if (result != LZW_OK) {
                return result;
            }
            ++*width;
        }
    }
    return lzwWriteBits(code, *width);
}

// Codes the input after its first byte. The current string is input[start, position).
int32_t encodeBytes() {
    const uint8_t* const input = gLzw.input.bytes;
    const uint32_t length = gLzw.input.length;
    const bool hashed = gLzwSettings.lookup == LZW_LOOKUP_HASH;
    uint32_t width = kFirstWidth;
    uint32_t start = 0;
    uint16_t currentCode = input[0];
    uint32_t position = 1;
    int32_t result = LZW_OK;
    for (; position < length; ++position) {
        const uint8_t byte = input[position];
        const uint32_t currentLength = position - start;
        uint32_t slot = 0;
        const uint16_t found = hashed ? hashFind(currentCode, byte, &slot)
                                      : scanLengthList(input + start, currentLength, byte);
        if (found != 0) {
            currentCode = found;
            continue;
        }
        // The new string gets its code before the current string's code is written.
        const uint16_t code = gLzw.nextCode;
        const PrefixSource source = length - start >= kCopySlack ? PREFIX_HAS_SLACK : PREFIX_EXACT;
        result = lzwAddEntry(input + start, currentLength, byte, source);
        if (result != LZW_OK) {
            break;
        }
        if (hashed) {
            hashInsert(slot, currentCode, byte, code);
            if (gLzw.pendingPrefixLength != 0) {
                linkPendingPrefix(code);
            }
        }
        result = writeStringCode(currentCode, currentLength, &width);
        if (result != LZW_OK) {
            break;
        }
        if (gLzw.nextCode == kDictionarySize) {
            result = lzwWriteBits(RESET_CODE, width);
            if (result == LZW_OK) {
                result = restartDictionary(input + start, currentLength, currentCode, byte);
            }
            if (result != LZW_OK) {
                break;
            }
            width = kFirstWidth;
        }
        start = position;
        currentCode = byte;
    }
    gLzw.current = LzwString{input + start, static_cast<uint16_t>(position - start)};
    if (result != LZW_OK) {
        gLzw.input.position = static_cast<uint16_t>(position + 1); // the byte just read
        return result;
    }
    gLzw.input.position = static_cast<uint16_t>(position);
    result = writeStringCode(currentCode, position - start, &width);
    if (result == LZW_OK) {
        result = lzwWriteBits(END_CODE, width);
    }
    if (result == LZW_OK && gLzw.bitCount != 0) {
        result = storeByte(gLzw.bitAccumulator); // its free low bits are zero
        gLzw.bitAccumulator = 0;
        gLzw.bitCount = 0;
    }
    if (result == LZW_OK) {
        result = appendStaging();
    }
    return result;
}

// --- Decoder --------------------------------------------------------------------------

// The decoder's view of the input and of bitAccumulator/bitCount, kept in locals while
// a stream is read (each store into a byte buffer would otherwise make the compiler
// reload the state record) and written back when it ends.
struct BitReader {
    const uint8_t* bytes;
    uint32_t length;
    uint32_t position;
    uint32_t accumulator; // bits not yet used, at the top of the low byte
    uint32_t count;       // 0..7
};

// Reads one code of `width` bits (at most 32): the bits held in the accumulator first,
// then as many whole input bytes as the code needs; the unused low bits of the last
// byte stay in the accumulator. When the input ends first, it has been read to its end
// and the result is false.
LZW_INLINE bool readCode(BitReader& in, uint32_t width, uint32_t* code) {
    const uint32_t missing = width - in.count; // 2..32
    const uint32_t bytes = (missing + 7) >> 3;
    if (in.length - in.position < bytes) {
        in.position = in.length;
        return false;
    }
    const uint8_t* p = in.bytes + in.position;
    uint64_t value = in.accumulator >> (8 - in.count);
    for (uint32_t i = 0; i < bytes; ++i) {
        value = value << 8 | p[i];
    }
    const uint32_t left = bytes * 8 - missing; // bits of the last byte not used
    *code = static_cast<uint32_t>(value >> left);
    in.accumulator = static_cast<uint8_t>(p[bytes - 1] << (8 - left));
    in.count = left;
    in.position += bytes;
    return true;
}

// Decodes the codes after the first one, whose byte is already in the output. Each
// code's string is written to the output as soon as the code is read, and the current
// string, which the next entry is made from, is the last string written: the output is
// never rewound, so it survives RESET_CODE without a copy of its own.
int32_t decodeCodes(BitReader& in) {
    uint8_t* const output = gLzw.output.bytes;
    uint32_t outputLength = 1;
    uint32_t currentLength = 1;
    uint32_t width = kFirstWidth;
    int32_t result = LZW_OK;
    for (;;) {
        uint32_t code = 0;
        if (width > kMaxWidth || !readCode(in, width, &code)) {
            result = LZW_BAD_CODE;
            break;
        }
        if (code - END_CODE <= RESET_CODE - END_CODE) {
            if (code == WIDEN_CODE) {
                ++width;
                continue;
            }
            if (code == RESET_CODE) {
                gLzw.nextCode = FIRST_FREE_CODE;
                rewindPool();
                width = kFirstWidth;
                continue;
            }
            break; // END_CODE: the last string is already out
        }
        const uint16_t nextCode = gLzw.nextCode;
        if (code > nextCode || nextCode >= kDictionarySize || currentLength >= kStringCapacity) {
            result = LZW_BAD_CODE;
            break;
        }
        // The new entry is current plus the first byte of the code's string; when the
        // code is that very entry (code == nextCode), its first byte is current's.
        const uint8_t* current = output + outputLength - currentLength;
        const uint8_t first = code == nextCode ? current[0] : gLzw.dictionary[code].bytes[0];
        result = lzwAddEntry(current, currentLength, first, PREFIX_HAS_SLACK);
        if (result != LZW_OK) {
            break;
        }
        const LzwEntry& entry = gLzw.dictionary[code];
        if (outputLength + entry.length > static_cast<uint32_t>(kLzwDecodeCapacity)) {
            result = LZW_TOO_LARGE;
            break;
        }
        copyString(output + outputLength, entry.bytes, entry.length);
        outputLength += entry.length;
        currentLength = entry.length;
    }
    gLzw.current =
        LzwString{output + outputLength - currentLength, static_cast<uint16_t>(currentLength)};
    gLzw.output.length = static_cast<int32_t>(outputLength);
    return result;
}

int32_t decodeStream() {
    BitReader in{gLzw.input.bytes, gLzw.input.length, 0, 0, 0};
    uint32_t code = 0;
    int32_t result = LZW_NO_INPUT;
    if (readCode(in, kFirstWidth, &code)) {
        // Only a hand-made stream starts with anything but a byte code.
        gLzw.output.bytes[0] = static_cast<uint8_t>(code);
        result = decodeCodes(in);
    }
    gLzw.input.position = static_cast<uint16_t>(in.position);
    gLzw.bitAccumulator = static_cast<uint8_t>(in.accumulator);
    gLzw.bitCount = static_cast<uint8_t>(in.count);
    return result;
}

void clearResult(uint8_t** out, int32_t* outLength) {
    if (out != nullptr) {
        *out = nullptr;
    }
    if (outLength != nullptr) {
        *outLength = 0;
    }
}

// Hands the output to the caller on success, releases it otherwise.
void finishCall(int32_t result, uint8_t** out, int32_t* outLength) {
    if (result == LZW_OK && out != nullptr && outLength != nullptr) {
        *out = gLzw.output.bytes;
        *outLength = gLzw.output.length;
    } else {
        free(gLzw.output.bytes);
    }
    gLzw.output = LzwOutput{};
    lzwFreeAll();
}

} // namespace

int32_t lzwDecode(const uint8_t* packed, int32_t length, uint8_t** out, int32_t* outLength) {
    clearResult(out, outLength);
    gLzw.statistics.inputLength = length;
    gLzw.statistics.inputConsumed = 0;
    if (length > kLzwMaxInput) {
        return LZW_TOO_LARGE;
    }
    if (lzwInit(kModeDecode) != 0) {
        lzwFreeAll();
        return LZW_NO_MEMORY;
    }
    gLzw.output.bytes = static_cast<uint8_t*>(lzwAllocate(kLzwDecodeCapacity + kCopySlack, false));
    gLzw.output.length = 0;
    if (gLzw.output.bytes == nullptr) {
        lzwAlert("Impossible d'allouer la memoire", "information");
        lzwFreeAll();
        return LZW_NO_MEMORY;
    }
    int32_t result = LZW_NO_INPUT;
    if (packed != nullptr && length > 0) {
        gLzw.input = LzwInput{packed, static_cast<uint16_t>(length), 0};
        result = decodeStream();
        gLzw.statistics.inputConsumed = gLzw.input.position;
    }
    finishCall(result, out, outLength);
    return result;
}

int32_t lzwEncode(const uint8_t* plain, int32_t length, uint8_t** out, int32_t* outLength) {
    clearResult(out, outLength);
    gLzw.statistics.inputLength = length;
    gLzw.statistics.encodeInputLength = length;
    gLzw.statistics.inputConsumed = 0;
    if (length > kLzwMaxInput) {
        return LZW_TOO_LARGE;
    }
    gLzw.output.bytes = static_cast<uint8_t*>(lzwAllocate(kLzwEncodeCapacity, false));
    gLzw.output.length = 0;
    if (gLzw.output.bytes == nullptr) {
        lzwAlert("Impossible d'allouer la memoire", "information");
        return LZW_NO_MEMORY;
    }
    int32_t result = LZW_NO_MEMORY;
    if (lzwInit(kModeEncode) == 0) {
        result = LZW_NO_INPUT;
        if (plain != nullptr && length > 0) {
            gLzw.input = LzwInput{plain, static_cast<uint16_t>(length), 0};
            result = encodeBytes();
            gLzw.statistics.inputConsumed = gLzw.input.position;
        }
    }
    if (result == LZW_OK) {
        gLzw.statistics.encodedLength = gLzw.output.length;
    }
    finishCall(result, out, outLength);
    return result;
}

void lzwFreeBuffer(uint8_t* buffer) {
    free(buffer);
}

int32_t lzwInputLength() {
    return gLzw.statistics.inputLength;
}

int32_t lzwInputConsumed() {
    return gLzw.statistics.inputConsumed;
}

int32_t lzwEncodeInputLength() {
    return gLzw.statistics.encodeInputLength;
}

int32_t lzwEncodedLength() {
    return gLzw.statistics.encodedLength;
}

const char* lzwResultName(int32_t result) {
    switch (result) {
    case LZW_OK:
        return "LZW_OK";
    case LZW_NO_MEMORY:
        return "LZW_NO_MEMORY";
    case LZW_NO_INPUT:
        return "LZW_NO_INPUT";
    case LZW_WRITE_FAILED:
        return "LZW_WRITE_FAILED";
    case LZW_BAD_CODE:
        return "LZW_BAD_CODE";
    case LZW_TOO_LARGE:
        return "LZW_TOO_LARGE";
    default:
        return "LZW_UNKNOWN";
    }
}

void lzwSetAlert(LzwAlertFn alert) {
    gLzwSettings.alert = alert;
}

void lzwSetLookup(LzwLookup lookup) {
    gLzwSettings.lookup = lookup;
}

void lzwFailAllocation(int32_t nth) {
    gLzwSettings.failAllocationIn = nth < 0 ? 0 : nth;
}

int64_t lzwAllocationCount() {
    return gLzwSettings.allocations;
}
