// Fuzzes the codec's round trip: any input packs (unless it is too large for the packed
// buffer), both dictionary lookups give the same stream, and the stream unpacks to the
// input.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/lzw.h"
#include "content/lzw_internal.h"

namespace {

void check(bool condition) {
    if (!condition) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(kLzwMaxInput)) {
        return 0;
    }
    const int32_t length = static_cast<int32_t>(size);
    uint8_t* packed = nullptr;
    int32_t packedLength = 0;
    const int32_t result = lzwEncode(data, length, &packed, &packedLength);
    if (length == 0) {
        check(result == LZW_NO_INPUT && packed == nullptr);
        return 0;
    }
    if (result == LZW_TOO_LARGE) {
        check(packed == nullptr && length > 40000);
        return 0;
    }
    check(result == LZW_OK && packedLength == lzwEncodedLength());
    check(lzwInputConsumed() == length);

    // The list scan takes time in the square of the length: compare the two lookups on
    // short inputs only, where most of the fuzzer's inputs are.
    if (length <= 1024) {
        lzwSetLookup(LZW_LOOKUP_LIST_SCAN);
        uint8_t* scanned = nullptr;
        int32_t scannedLength = 0;
        const int32_t scanResult = lzwEncode(data, length, &scanned, &scannedLength);
        lzwSetLookup(LZW_LOOKUP_HASH);
        check(scanResult == LZW_OK && scannedLength == packedLength &&
              memcmp(scanned, packed, packedLength) == 0);
        lzwFreeBuffer(scanned);
    }

    uint8_t* plain = nullptr;
    int32_t plainLength = 0;
    check(lzwDecode(packed, packedLength, &plain, &plainLength) == LZW_OK);
    check(plainLength == length && memcmp(plain, data, size) == 0);
    check(lzwInputConsumed() == packedLength);
    lzwFreeBuffer(plain);
    lzwFreeBuffer(packed);
    return 0;
}
