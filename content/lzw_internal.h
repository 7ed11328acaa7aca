// Hooks into the LZW codec for its tests, fuzzers and benchmarks. The player never calls
// them; they only change how the codec works, never what it produces (except the
// allocation hook, which makes it fail on purpose).
#pragma once

#include <cstdint>

// How the encoder finds the candidate string in its dictionary. Both give byte-identical
// streams; the list scan compares the candidate against every entry of its length.
enum LzwLookup : int32_t {
    LZW_LOOKUP_HASH = 0,      // hash of (prefix code, byte) kept beside the length index
    LZW_LOOKUP_LIST_SCAN = 1, // scan of the length index list only
};

// Selects the encoder's lookup for every following lzwEncode (LZW_LOOKUP_HASH by default).
void lzwSetLookup(LzwLookup lookup);

// Makes the nth codec allocation on this thread from now fail (1 = the next one); 0 turns
// the failure off. The failure happens once; later allocations succeed again.
void lzwFailAllocation(int32_t nth);

// Number of allocations the codec has asked for on this thread since it started.
int64_t lzwAllocationCount();

// Releases the working tables the codec keeps between calls on this thread; the next
// call obtains them again (and may fail to).
void lzwReleaseTables();
