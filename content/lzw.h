// LZW block codec: variable-width codes with explicit END, WIDEN and RESET codes.
// One state per thread, with working tables kept between calls; a call is not re-entrant,
// but calls on different threads do not disturb each other.
#pragma once

#include <cstdint>

enum LzwResult : int32_t {
    LZW_OK = 0,
    LZW_NO_MEMORY = -4,
    LZW_NO_INPUT = -5,
    LZW_WRITE_FAILED = -6,
    LZW_BAD_CODE = -7,
    // Outside the stream format's limits: an input of 65536 bytes or more, or an output
    // that would overflow its buffer (120000 bytes decoded, 80000 bytes encoded).
    LZW_TOO_LARGE = -8,
};

enum LzwCode : uint16_t {
    END_CODE = 256,
    WIDEN_CODE = 257,
    RESET_CODE = 258,
    FIRST_FREE_CODE = 259,
};

constexpr int32_t kLzwMaxInput = 65535;
constexpr int32_t kLzwDecodeCapacity = 120000;
constexpr int32_t kLzwEncodeCapacity = 80000;

// Unpacks `length` packed bytes (at most 65535). On LZW_OK *out is a malloc'ed buffer the
// caller frees with lzwFreeBuffer and *outLength the exact number of bytes unpacked (at
// most 120000). On any other result *out is null and *outLength 0. Bytes after END_CODE
// are ignored. LZW_NO_INPUT: empty, or shorter than the first code. LZW_BAD_CODE: a code
// above the next entry, a width above 32 bits, an entry 4096 or a string over 4096 bytes,
// or no END_CODE before the input ends. LZW_TOO_LARGE: 65536 input bytes or more, or more
// than 120000 output bytes.
// Never reads outside the `length` bytes.
int32_t lzwDecode(const uint8_t* packed, int32_t length, uint8_t** out, int32_t* outLength);

// Packs `length` plain bytes (at most 65535). On LZW_OK *out is a malloc'ed buffer holding
// the complete stream, *outLength its exact length (at most 80000). On any other result
// *out is null, *outLength 0. LZW_NO_INPUT: empty input. LZW_TOO_LARGE: 65536 input bytes
// or more, or a stream over 80000 bytes (data that hardly compresses, from about 59000
// bytes up).
int32_t lzwEncode(const uint8_t* plain, int32_t length, uint8_t** out, int32_t* outLength);

void lzwFreeBuffer(uint8_t* buffer);

// Statistics of the last calls on the calling thread.
int32_t lzwInputLength();       // input length given to the last call of either direction
int32_t lzwInputConsumed();     // input bytes read by the last call
int32_t lzwEncodeInputLength(); // input length given to the last lzwEncode
int32_t lzwEncodedLength();     // bytes produced by the last successful lzwEncode

// "LZW_OK", "LZW_BAD_CODE", ...; "LZW_UNKNOWN" for any other value.
const char* lzwResultName(int32_t result);

// The codec's one user message ("Impossible d'allouer la memoire", caption "information")
// goes through this hook, so the portable codec needs no window system. The Windows
// build installs a message box; null (the default) shows nothing.
using LzwAlertFn = void (*)(const char* text, const char* caption);
void lzwSetAlert(LzwAlertFn alert);
