// LZW block codec. Both directions share one LzwState per thread; each call sets it up
// with lzwInit, codes, and clears it with lzwFreeAll before it returns, so only the
// statistics, the caller's output buffer and the working tables outlive a call.
//
// Speed. A quiz is unpacked once per start, but the codec is also the authoring tool's
// packer, and both directions are meant to keep up with the classic `compress`. These
// choices make that possible without changing a single bit of any stream:
// - the working tables (the encoder's hash, the dictionary) are obtained once per thread
//   and kept: obtaining and releasing them on every call makes the C library hand the
//   memory back to the system, and every call then pays a page fault per 4 KB;
// - no string is ever copied into the dictionary. Every entry is a view: the encoder's
//   entries are stretches of the caller's input, the decoder's stretches of the output it
//   has already written (an entry is always the last string written plus the first byte
//   of the string written after it);
// - the encoder finds (current string + next byte) through a hash of (code of the current
//   string, byte) instead of comparing the candidate with every entry of its length. The
//   length index and its scan are still here, for the tests and the benchmark (see
//   lzwSetLookup); the index is only built when the scan is the lookup;
// - both bit streams move 8 bytes at a time: the writer stores a 64-bit word per code and
//   advances by the whole bytes it completed, the reader loads a 64-bit word per code;
// - the decoder copies strings in 16-byte blocks, into an output with spare bytes behind
//   its capacity.
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

constexpr uint32_t kDictionarySize = 4096; // codes 0..4095
constexpr uint32_t kStringCapacity = 4096; // longest string the codec builds
constexpr uint32_t kFirstWidth = 9;
constexpr uint32_t kMaxWidth = 32;

// The encoder's hash of (prefix code, next byte) -> code. Twice the dictionary's size
// keeps the linear probes short (load factor below one half).
constexpr uint32_t kHashBits = 13;
constexpr uint32_t kHashSlots = 1u << kHashBits;

// The decoder copies strings in blocks of this size.
constexpr uint32_t kCopyBlock = 16;

// Spare bytes behind each output buffer: the decoder's blocks and the bit writer's 8-byte
// stores run past the last real byte, and the encoder checks the end of its output once
// per string, after up to four codes (three WIDEN_CODEs at most).
constexpr uint32_t kOutputSlack = 64;

// A dictionary entry is a view into the input (encoder) or the output (decoder): the
// offset of its first byte (below 2^17, the decoder's output is at most 120000 bytes)
// times 2^13, plus its length (1..4096).
constexpr uint32_t kEntryLengthBits = 13;
constexpr uint32_t kEntryLengthMask = (1u << kEntryLengthBits) - 1;

LZW_INLINE uint32_t makeEntry(uint32_t offset, uint32_t length) {
    return offset << kEntryLengthBits | length;
}
LZW_INLINE uint32_t entryOffset(uint32_t entry) {
    return entry >> kEntryLengthBits;
}
LZW_INLINE uint32_t entryLength(uint32_t entry) {
    return entry & kEntryLengthMask;
}

// Kept between calls. Entries 0..255 are the one-byte strings, never stored: a byte code
// is its own string. Nothing in here needs clearing when a call starts except the hash:
// a code is only read back once this call has made it.
struct LzwTables {
    // The decoder's and the list scan's entries; the hash keeps the encoder's own, which
    // only stores entry 259 here at a reset, for the string it waits for (see below).
    uint32_t dictionary[kDictionarySize];
    // The encoder's hash: slot = key << 12 | code, 0 = empty, where key = prefix code << 8
    // | byte (20 bits). Codes in it are always >= 259.
    uint32_t hashSlots[kHashSlots];
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
    LzwTables* tables;
    uint16_t nextCode;
    uint16_t** lengthIndex; // encoder's list scan: per string length, its codes
    uint16_t* lengthCount;
    uint16_t longestListed; // no list exists for a longer length
    LzwInput input;
    LzwOutput output;
    LzwStatistics statistics;
    // After a reset, entry 259 is the previous string plus one byte, and that previous
    // string is not in the new dictionary. Its (prefix code, byte) key can only be made
    // once the string is added again; until then this holds its length (0: nothing).
    uint16_t pendingPrefixLength;
};

// Settings of the codec itself, not of one call: set before the codec is used.
struct LzwSettings {
    LzwAlertFn alert;
    LzwLookup lookup;
};

// The test hooks count and fail the allocations of their own thread.
struct LzwAllocations {
    int32_t failIn; // 0: off; n: the nth allocation from now fails
    int64_t count;
};

void releaseTables(LzwState& state);

// One state per thread, so that the authoring tool's threads may pack at the same time.
// Its tables go when the thread ends.
struct LzwThread {
    LzwState state;
    ~LzwThread() { releaseTables(state); }
};

thread_local LzwThread tLzw;
thread_local LzwAllocations tLzwAllocations;
LzwSettings gLzwSettings;

void* lzwAllocate(size_t size, bool zeroed) {
    LzwAllocations& allocations = tLzwAllocations;
    ++allocations.count;
    if (allocations.failIn > 0 && --allocations.failIn == 0) {
        return nullptr;
    }
    return zeroed ? calloc(1, size) : malloc(size);
}

void lzwAlert(const char* text, const char* caption) {
    if (gLzwSettings.alert != nullptr) {
        gLzwSettings.alert(text, caption);
    }
}

LZW_INLINE void storeBigEndian64(uint8_t* to, uint64_t value) {
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    value = __builtin_bswap64(value);
    memcpy(to, &value, sizeof value);
#else
    for (int i = 0; i < 8; ++i) {
        to[i] = static_cast<uint8_t>(value >> (56 - 8 * i));
    }
#endif
}

LZW_INLINE uint64_t loadBigEndian64(const uint8_t* from) {
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t value;
    memcpy(&value, from, sizeof value);
    return __builtin_bswap64(value);
#else
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value = value << 8 | from[i];
    }
    return value;
#endif
}

// Returns 0 or LZW_NO_MEMORY. Whatever was obtained is released by lzwFreeAll (or kept,
// for the tables), also after a failure.
int32_t lzwInit(LzwState& state, int32_t mode) {
    state.mode = mode;
    state.nextCode = FIRST_FREE_CODE;
    state.lengthIndex = nullptr;
    state.lengthCount = nullptr;
    state.longestListed = 0;
    state.input = LzwInput{};
    state.pendingPrefixLength = 0;
    if (state.tables == nullptr) {
        state.tables = static_cast<LzwTables*>(lzwAllocate(sizeof(LzwTables), false));
        if (state.tables == nullptr) {
            return LZW_NO_MEMORY;
        }
    }
    if (mode == kModeEncode) {
        if (gLzwSettings.lookup == LZW_LOOKUP_HASH) {
            memset(state.tables->hashSlots, 0, sizeof state.tables->hashSlots);
        } else {
            state.lengthIndex =
                static_cast<uint16_t**>(lzwAllocate(sizeof(uint16_t*) * kDictionarySize, true));
            state.lengthCount =
                static_cast<uint16_t*>(lzwAllocate(sizeof(uint16_t) * kDictionarySize, true));
            if (state.lengthIndex == nullptr || state.lengthCount == nullptr) {
                return LZW_NO_MEMORY;
            }
        }
    }
    return 0;
}

void lzwFreeAll(LzwState& state) {
    if (state.lengthIndex != nullptr) {
        for (uint32_t length = 0; length <= state.longestListed; ++length) {
            free(state.lengthIndex[length]);
        }
    }
    free(state.lengthIndex);
    state.lengthIndex = nullptr;
    free(state.lengthCount);
    state.lengthCount = nullptr;
    state.longestListed = 0;
    state.input = LzwInput{};
}

void releaseTables(LzwState& state) {
    free(state.tables);
    state.tables = nullptr;
}

// --- Bit writer (encoder) ---------------------------------------------------------------

// Writes straight into the output. The bits of a byte not yet complete are the low
// `count` bits of `bits` and have already been stored, zero-padded, at `next`.
struct BitWriter {
    uint8_t* next;
    uint64_t bits;
    uint32_t count; // 0..7 between codes
};

// Appends the low `width` bits of value (at most 32, value below 2^width), most
// significant first. Stores 8 bytes at `next`, of which the whole bytes are kept.
LZW_INLINE void lzwWriteBits(BitWriter& writer, uint32_t value, uint32_t width) {
    writer.bits = writer.bits << width | value;
    writer.count += width; // 9..39
    storeBigEndian64(writer.next, writer.bits << (64 - writer.count));
    writer.next += writer.count >> 3;
    writer.count &= 7;
}

// --- Encoder --------------------------------------------------------------------------

// A fixed scramble of each byte value over the slots' 13 bits.
struct ByteMix {
    uint16_t slots[256];
};
constexpr ByteMix makeByteMix() {
    ByteMix mix{};
    for (uint32_t b = 0; b < 256; ++b) {
        mix.slots[b] = static_cast<uint16_t>(((b + 1) * 2654435761u) >> (32 - kHashBits));
    }
    return mix;
}
constexpr ByteMix kByteMix = makeByteMix();

// The first slot for (prefix code, byte). Codes are below 4096 and the scramble below
// 8192, so the slot needs no mask; the next code's lookup then waits for one XOR only.
LZW_INLINE uint32_t hashSlotOf(uint32_t prefixCode, uint8_t byte) {
    return prefixCode ^ kByteMix.slots[byte];
}

// The code stored for (prefix code, byte), or 0 with *freeSlot set to where it would go.
LZW_INLINE uint32_t hashFind(const uint32_t* slots, uint32_t prefixCode, uint8_t byte,
                             uint32_t* freeSlot) {
    const uint32_t key = prefixCode << 8 | byte;
    for (uint32_t slot = hashSlotOf(prefixCode, byte);; slot = (slot + 1) & (kHashSlots - 1)) {
        const uint32_t value = slots[slot];
        if (value == 0) {
            *freeSlot = slot;
            return 0;
        }
        if (value >> 12 == key) {
            return value & 0xFFF;
        }
    }
}

LZW_INLINE void hashInsert(uint32_t* slots, uint32_t slot, uint32_t prefixCode, uint8_t byte,
                           uint32_t code) {
    slots[slot] = (prefixCode << 8 | byte) << 12 | code;
}

void hashInsertAnywhere(uint32_t* slots, uint32_t prefixCode, uint8_t byte, uint32_t code) {
    uint32_t slot = 0;
    hashFind(slots, prefixCode, byte, &slot);
    hashInsert(slots, slot, prefixCode, byte, code);
}

// The length-index scan: compares input[start, start + prefixLength) followed by `byte`
// with every entry of that length, in list order. Returns the entry's code, or 0.
uint32_t scanLengthList(const LzwState& state, uint32_t start, uint32_t prefixLength,
                        uint8_t byte) {
    const uint32_t length = prefixLength + 1;
    if (length > state.longestListed) {
        return 0;
    }
    const uint8_t* input = state.input.bytes;
    const uint16_t* list = state.lengthIndex[length];
    const uint16_t count = state.lengthCount[length];
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* entry = input + entryOffset(state.tables->dictionary[list[i]]);
        if (entry[prefixLength] == byte && memcmp(entry, input + start, prefixLength) == 0) {
            return list[i];
        }
    }
    return 0;
}

// Lists `code` under `length` for the scan, making the list on first use. Returns LZW_OK
// or LZW_NO_MEMORY.
int32_t listEntry(LzwState& state, uint32_t length, uint32_t code) {
    uint16_t*& list = state.lengthIndex[length];
    if (list == nullptr) {
        list = static_cast<uint16_t*>(lzwAllocate(sizeof(uint16_t) * kDictionarySize, false));
        if (list == nullptr) {
            return LZW_NO_MEMORY;
        }
        if (length > state.longestListed) {
            state.longestListed = static_cast<uint16_t>(length);
        }
    }
    list[state.lengthCount[length]++] = static_cast<uint16_t>(code);
    return LZW_OK;
}

// After entry `code` (input[start, start + length)) is made: if it is the string entry
// 259 was made from before the last reset, entry 259 becomes reachable through it.
void linkPendingPrefix(LzwState& state, uint32_t code, uint32_t start, uint32_t length) {
    const uint32_t pending = state.pendingPrefixLength;
    const uint8_t* input = state.input.bytes;
    const uint8_t* first = input + entryOffset(state.tables->dictionary[FIRST_FREE_CODE]);
    if (length == pending && memcmp(input + start, first, pending) == 0) {
        hashInsertAnywhere(state.tables->hashSlots, code, first[pending], FIRST_FREE_CODE);
        state.pendingPrefixLength = 0;
    }
}

// Forgets every entry from 259 up and adds the candidate (input[start, start +
// prefixLength) followed by `byte`) again as entry 259, for the hash. `prefixCode` is
// the prefix's code before the reset.
void restartHashed(LzwState& state, uint32_t start, uint32_t prefixLength, uint32_t prefixCode,
                   uint8_t byte) {
    LzwTables& tables = *state.tables;
    tables.dictionary[FIRST_FREE_CODE] = makeEntry(start, prefixLength + 1);
    state.nextCode = FIRST_FREE_CODE + 1;
    memset(tables.hashSlots, 0, sizeof tables.hashSlots);
    state.pendingPrefixLength = 0;
    if (prefixLength == 1) {
        hashInsertAnywhere(tables.hashSlots, prefixCode, byte, FIRST_FREE_CODE); // byte codes stay
    } else {
        state.pendingPrefixLength = static_cast<uint16_t>(prefixLength);
    }
}

// The same for the length-index scan. Returns LZW_OK or LZW_NO_MEMORY.
int32_t restartScanned(LzwState& state, uint32_t start, uint32_t prefixLength) {
    state.tables->dictionary[FIRST_FREE_CODE] = makeEntry(start, prefixLength + 1);
    state.nextCode = FIRST_FREE_CODE + 1;
    memset(state.lengthCount, 0, sizeof(uint16_t) * (state.longestListed + 1u));
    return listEntry(state, prefixLength + 1, FIRST_FREE_CODE);
}

// The encoder's progress through its input: the current string is input[start,
// position), whose code the loops keep in a register.
struct Encoder {
    LzwState* state;
    BitWriter writer;
    uint32_t width;
    uint32_t start;
};

// A one-byte string goes out as its byte with the current width; a longer one first
// widens the stream until its code fits (a byte code always fits). Codes stay below
// 4096, so no width passes 12 bits and the writer never refuses one.
LZW_INLINE void writeStringCode(BitWriter& writer, uint32_t* width, uint32_t code) {
    while ((code >> *width) != 0) {
        lzwWriteBits(writer, WIDEN_CODE, *width);
        ++*width;
    }
    lzwWriteBits(writer, code, *width);
}

// Strings never reach the dictionary's 4096-byte limit in the two loops below: a string
// is at most one byte longer than an entry made before it, and a reset comes after 3837
// entries.

// Codes input[1, length) after its first byte, looking strings up in the hash. Returns
// LZW_OK or LZW_TOO_LARGE, with *position at the byte it failed on. Everything a string
// needs is in locals: once per byte the loop only waits for one hash slot.
int32_t encodeHashed(Encoder& encoder, uint32_t* position, uint32_t* currentCode) {
    LzwState& state = *encoder.state;
    const uint8_t* const input = state.input.bytes;
    const uint32_t length = state.input.length;
    uint32_t* const slots = state.tables->hashSlots;
    const uint8_t* const full = state.output.bytes + kLzwEncodeCapacity;
    BitWriter writer = encoder.writer;
    uint32_t width = encoder.width;
    uint32_t start = encoder.start;
    uint32_t nextCode = state.nextCode;
    uint32_t code = input[0];
    uint32_t at = 1;
    int32_t result = LZW_OK;
    for (; at < length; ++at) {
        const uint8_t byte = input[at];
        const uint32_t key = code << 8 | byte;
        uint32_t slot = hashSlotOf(code, byte);
        uint32_t value = slots[slot];
        while (value != 0 && (value >> 12) != key) {
            slot = (slot + 1) & (kHashSlots - 1);
            value = slots[slot];
        }
        if (value != 0) {
            code = value & 0xFFF;
            continue;
        }
        // The new string gets its code before the current string's code is written. The
        // hash alone finds it: only entry 259 is ever read back, and a reset stores that.
        slots[slot] = key << 12 | nextCode;
        if (state.pendingPrefixLength != 0) {
            linkPendingPrefix(state, nextCode, start, at - start + 1);
        }
        ++nextCode;
        writeStringCode(writer, &width, code);
        if (writer.next > full) {
            result = LZW_TOO_LARGE;
            break;
        }
        if (nextCode == kDictionarySize) {
            lzwWriteBits(writer, RESET_CODE, width);
            width = kFirstWidth;
            restartHashed(state, start, at - start, code, byte);
            nextCode = state.nextCode;
        }
        start = at;
        code = byte;
    }
    state.nextCode = static_cast<uint16_t>(nextCode);
    encoder.writer = writer;
    encoder.width = width;
    encoder.start = start;
    *position = at;
    *currentCode = code;
    return result;
}

// The same with the length-index scan, which may also fail with LZW_NO_MEMORY.
int32_t encodeScanned(Encoder& encoder, uint32_t* position, uint32_t* currentCode) {
    LzwState& state = *encoder.state;
    const uint8_t* const input = state.input.bytes;
    const uint32_t length = state.input.length;
    uint32_t code = input[0];
    uint32_t at = 1;
    int32_t result = LZW_OK;
    for (; at < length; ++at) {
        const uint8_t byte = input[at];
        const uint32_t start = encoder.start;
        const uint32_t found = scanLengthList(state, start, at - start, byte);
        if (found != 0) {
            code = found;
            continue;
        }
        const uint32_t made = state.nextCode;
        state.tables->dictionary[made] = makeEntry(start, at - start + 1);
        state.nextCode = static_cast<uint16_t>(made + 1);
        result = listEntry(state, at - start + 1, made);
        if (result != LZW_OK) {
            break;
        }
        writeStringCode(encoder.writer, &encoder.width, code);
        if (encoder.writer.next > state.output.bytes + kLzwEncodeCapacity) {
            result = LZW_TOO_LARGE;
            break;
        }
        if (state.nextCode == kDictionarySize) {
            lzwWriteBits(encoder.writer, RESET_CODE, encoder.width);
            encoder.width = kFirstWidth;
            result = restartScanned(state, start, at - start);
            if (result != LZW_OK) {
                break;
            }
        }
        encoder.start = at;
        code = byte;
    }
    *position = at;
    *currentCode = code;
    return result;
}

// Codes the whole input into the output. Returns LZW_OK, LZW_NO_MEMORY or LZW_TOO_LARGE.
int32_t encodeBytes(LzwState& state) {
    Encoder encoder{&state, BitWriter{state.output.bytes, 0, 0}, kFirstWidth, 0};
    uint32_t position = 0;
    uint32_t currentCode = 0;
    const int32_t result = gLzwSettings.lookup == LZW_LOOKUP_HASH
                               ? encodeHashed(encoder, &position, &currentCode)
                               : encodeScanned(encoder, &position, &currentCode);
    if (result != LZW_OK) {
        state.input.position = static_cast<uint16_t>(position + 1); // the byte just read
        return result;
    }
    state.input.position = static_cast<uint16_t>(position);
    writeStringCode(encoder.writer, &encoder.width, currentCode);
    lzwWriteBits(encoder.writer, END_CODE, encoder.width);
    // The last byte's free low bits are already zero.
    const BitWriter& writer = encoder.writer;
    state.output.length =
        static_cast<int32_t>(writer.next - state.output.bytes) + (writer.count != 0 ? 1 : 0);
    return state.output.length > kLzwEncodeCapacity ? LZW_TOO_LARGE : LZW_OK;
}

// --- Decoder --------------------------------------------------------------------------

// The decoder's view of the input: the bit position of the next code.
struct BitReader {
    const uint8_t* bytes;
    uint32_t length;
    uint32_t bit;
};

// Reads one code of `width` bits (at most 32). When the input ends first, it has been
// read to its end and the result is false. Loads the 8 bytes from the code's first byte
// on when they are all inside the input, and only the bytes that are otherwise.
LZW_INLINE bool readCode(BitReader& in, uint32_t width, uint32_t* code) {
    const uint32_t end = in.bit + width;
    if (end > in.length * 8) {
        in.bit = in.length * 8;
        return false;
    }
    const uint32_t at = in.bit >> 3;
    uint64_t window = 0;
    if (in.length - at >= 8) {
        window = loadBigEndian64(in.bytes + at);
    } else {
        for (uint32_t i = 0; at + i < in.length; ++i) {
            window |= static_cast<uint64_t>(in.bytes[at + i]) << (56 - 8 * i);
        }
    }
    *code = static_cast<uint32_t>((window << (in.bit & 7)) >> (64 - width));
    in.bit = end;
    return true;
}

// Copies `length` bytes from `from` to `to` in 16-byte blocks, reading and writing up to
// 15 bytes past both. Each block is read whole before it is written, so `from` may run
// into the bytes being written: only bytes before `to` are taken from the source.
LZW_INLINE void copyBlocks(uint8_t* to, const uint8_t* from, uint32_t length) {
    uint32_t done = 0;
    do {
        uint8_t block[kCopyBlock];
        memcpy(block, from + done, kCopyBlock);
        memcpy(to + done, block, kCopyBlock);
        done += kCopyBlock;
    } while (done < length);
}

// Decodes the codes after the first one, whose byte is already in the output. Each
// code's string is written to the output as soon as the code is read; the current
// string, which the next entry is made from, is the last string written. The output is
// never rewound, so every entry stays readable where it was written, across resets too.
int32_t decodeCodes(LzwState& state, BitReader& in) {
    uint8_t* const output = state.output.bytes;
    uint32_t* const dictionary = state.tables->dictionary;
    uint32_t outputLength = 1;
    uint32_t currentStart = 0;
    uint32_t currentLength = 1;
    uint32_t nextCode = FIRST_FREE_CODE;
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
                nextCode = FIRST_FREE_CODE;
                width = kFirstWidth;
                continue;
            }
            break; // END_CODE: the last string is already out
        }
        if (code > nextCode || nextCode >= kDictionarySize || currentLength >= kStringCapacity) {
            result = LZW_BAD_CODE;
            break;
        }
        // The new entry is current plus the first byte of the code's string, which is
        // the byte about to be written right after current.
        dictionary[nextCode] = makeEntry(currentStart, currentLength + 1);
        if (code < END_CODE) {
            if (outputLength >= static_cast<uint32_t>(kLzwDecodeCapacity)) {
                result = LZW_TOO_LARGE;
                break;
            }
            output[outputLength] = static_cast<uint8_t>(code);
            currentLength = 1;
        } else {
            const uint32_t entry = dictionary[code];
            const uint32_t length = entryLength(entry);
            if (outputLength + length > static_cast<uint32_t>(kLzwDecodeCapacity)) {
                result = LZW_TOO_LARGE;
                break;
            }
            copyBlocks(output + outputLength, output + entryOffset(entry), length);
            if (code == nextCode) {
                // The entry being made: current plus current's first byte, and that last
                // byte was not yet written when the block holding it was read.
                output[outputLength + currentLength] = output[currentStart];
            }
            currentLength = length;
        }
        ++nextCode;
        currentStart = outputLength;
        outputLength += currentLength;
    }
    state.nextCode = static_cast<uint16_t>(nextCode);
    state.output.length = static_cast<int32_t>(outputLength);
    return result;
}

int32_t decodeStream(LzwState& state) {
    BitReader in{state.input.bytes, state.input.length, 0};
    uint32_t code = 0;
    int32_t result = LZW_NO_INPUT;
    if (readCode(in, kFirstWidth, &code)) {
        // Only a hand-made stream starts with anything but a byte code.
        state.output.bytes[0] = static_cast<uint8_t>(code);
        result = decodeCodes(state, in);
    }
    state.input.position = static_cast<uint16_t>((in.bit + 7) / 8);
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
void finishCall(LzwState& state, int32_t result, uint8_t** out, int32_t* outLength) {
    if (result == LZW_OK && out != nullptr && outLength != nullptr) {
        *out = state.output.bytes;
        *outLength = state.output.length;
    } else {
        free(state.output.bytes);
    }
    state.output = LzwOutput{};
    lzwFreeAll(state);
}

} // namespace

int32_t lzwDecode(const uint8_t* packed, int32_t length, uint8_t** out, int32_t* outLength) {
    LzwState& state = tLzw.state;
    clearResult(out, outLength);
    state.statistics.inputLength = length;
    state.statistics.inputConsumed = 0;
    if (length > kLzwMaxInput) {
        return LZW_TOO_LARGE;
    }
    if (lzwInit(state, kModeDecode) != 0) {
        lzwFreeAll(state);
        return LZW_NO_MEMORY;
    }
    state.output.bytes =
        static_cast<uint8_t*>(lzwAllocate(kLzwDecodeCapacity + kOutputSlack, false));
    state.output.length = 0;
    if (state.output.bytes == nullptr) {
        lzwAlert("Impossible d'allouer la memoire", "information");
        lzwFreeAll(state);
        return LZW_NO_MEMORY;
    }
    int32_t result = LZW_NO_INPUT;
    if (packed != nullptr && length > 0) {
        state.input = LzwInput{packed, static_cast<uint16_t>(length), 0};
        result = decodeStream(state);
        state.statistics.inputConsumed = state.input.position;
    }
    finishCall(state, result, out, outLength);
    return result;
}

int32_t lzwEncode(const uint8_t* plain, int32_t length, uint8_t** out, int32_t* outLength) {
    LzwState& state = tLzw.state;
    clearResult(out, outLength);
    state.statistics.inputLength = length;
    state.statistics.encodeInputLength = length;
    state.statistics.inputConsumed = 0;
    if (length > kLzwMaxInput) {
        return LZW_TOO_LARGE;
    }
    state.output.bytes =
        static_cast<uint8_t*>(lzwAllocate(kLzwEncodeCapacity + kOutputSlack, false));
    state.output.length = 0;
    if (state.output.bytes == nullptr) {
        lzwAlert("Impossible d'allouer la memoire", "information");
        return LZW_NO_MEMORY;
    }
    int32_t result = LZW_NO_MEMORY;
    if (lzwInit(state, kModeEncode) == 0) {
        result = LZW_NO_INPUT;
        if (plain != nullptr && length > 0) {
            state.input = LzwInput{plain, static_cast<uint16_t>(length), 0};
            result = encodeBytes(state);
            state.statistics.inputConsumed = state.input.position;
        }
    }
    if (result == LZW_OK) {
        state.statistics.encodedLength = state.output.length;
    }
    finishCall(state, result, out, outLength);
    return result;
}

void lzwFreeBuffer(uint8_t* buffer) {
    free(buffer);
}

int32_t lzwInputLength() {
    return tLzw.state.statistics.inputLength;
}

int32_t lzwInputConsumed() {
    return tLzw.state.statistics.inputConsumed;
}

int32_t lzwEncodeInputLength() {
    return tLzw.state.statistics.encodeInputLength;
}

int32_t lzwEncodedLength() {
    return tLzw.state.statistics.encodedLength;
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
    tLzwAllocations.failIn = nth < 0 ? 0 : nth;
}

int64_t lzwAllocationCount() {
    return tLzwAllocations.count;
}

void lzwReleaseTables() {
    releaseTables(tLzw.state);
}
