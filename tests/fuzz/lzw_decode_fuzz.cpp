// Fuzzes lzwDecode with arbitrary packed bytes. A failure must hand out nothing; a
// success must stay within the output limit, and what it unpacked must pack and unpack
// back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "content/lzw.h"

namespace {

void check(bool condition) {
    if (!condition) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(INT32_MAX)) {
        return 0;
    }
    const int32_t length = static_cast<int32_t>(size);
    uint8_t* plain = nullptr;
    int32_t plainLength = -1;
    const int32_t result = lzwDecode(data, length, &plain, &plainLength);
    check(lzwInputLength() == length);
    check(lzwInputConsumed() >= 0 && lzwInputConsumed() <= length);
    if (result != LZW_OK) {
        check(plain == nullptr && plainLength == 0);
        check(result == LZW_NO_INPUT || result == LZW_BAD_CODE || result == LZW_TOO_LARGE);
        return 0;
    }
    check(plain != nullptr && plainLength >= 1 && plainLength <= kLzwDecodeCapacity);
    if (plainLength <= kLzwMaxInput) {
        uint8_t* packed = nullptr;
        int32_t packedLength = 0;
        const int32_t packResult = lzwEncode(plain, plainLength, &packed, &packedLength);
        // Only data that hardly compresses may be too large for the packed buffer.
        check(packResult == LZW_OK || (packResult == LZW_TOO_LARGE && plainLength > 40000));
        if (packResult == LZW_OK) {
            uint8_t* again = nullptr;
            int32_t againLength = 0;
            check(lzwDecode(packed, packedLength, &again, &againLength) == LZW_OK);
            check(againLength == plainLength && memcmp(again, plain, plainLength) == 0);
            lzwFreeBuffer(again);
            lzwFreeBuffer(packed);
        }
    }
    lzwFreeBuffer(plain);
    return 0;
}
