// The PE/COFF image as Microsoft documents it (the structures of winnt.h): its headers,
// sections and data directories, read and written byte by byte in little-endian order so
// that no host struct packing or endianness leaks into the file. Shared by the resource
// tree reader and the resource rewrite; pe_resources.h is the public face.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/executable/pe_resources.h"

namespace pe {

constexpr size_t kDosHeaderSize = 64;
constexpr size_t kPeHeaderOffsetField = 0x3c;
constexpr size_t kCoffHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;
constexpr size_t kDataEntrySize = 16;

constexpr uint16_t kMagicPe32 = 0x10b;
constexpr uint16_t kMagicPe32Plus = 0x20b;

// Optional header fields at the same offset in PE32 and PE32+.
constexpr size_t kOptSizeOfInitializedData = 8;
constexpr size_t kOptAddressOfEntryPoint = 16;
constexpr size_t kOptSectionAlignment = 32;
constexpr size_t kOptFileAlignment = 36;
constexpr size_t kOptSizeOfImage = 56;
constexpr size_t kOptSizeOfHeaders = 60;
constexpr size_t kOptCheckSum = 64;

constexpr int kDirResource = 2;
constexpr int kDirSecurity = 4;
constexpr int kDirBaseReloc = 5;
constexpr int kDirDebug = 6;
constexpr uint32_t kMaxDirectories = 16;

constexpr uint32_t kHighBit = 0x80000000u; // name is a string / entry is a subdirectory
constexpr uint32_t kResourceSectionFlags = 0x40000040u; // initialized data, readable

// Windows maps no image of 2 GiB or more; keeping below also keeps every RVA in 31 bits.
constexpr uint64_t kMaxImageSize = 0x7fffffffu;

// "0x1a2b".
std::string hex(uint64_t value);

// Throws PeError with the message.
[[noreturn]] void fail(const std::string& message);

inline uint64_t alignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

inline bool isPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

// Little-endian stores into out[at, at + 2) and out[at, at + 4), which must exist.
void put16(std::vector<uint8_t>& out, size_t at, uint16_t value);
void put32(std::vector<uint8_t>& out, size_t at, uint32_t value);

// The file as read-only bytes; each read names what it reads so that a short file says
// which structure it cut off.
struct Bytes {
    const uint8_t* data;
    size_t size;

    bool holds(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    void require(uint64_t offset, uint64_t length, const char* what) const {
        if (!holds(offset, length)) {
            fail(std::string(what) + " at file offset " + hex(offset) + " (" +
                 std::to_string(length) + " bytes) lies past the end of the file (" +
                 std::to_string(size) + " bytes): the file is truncated or damaged");
        }
    }
    uint16_t u16(uint64_t offset, const char* what) const {
        require(offset, 2, what);
        return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
    }
    uint32_t u32(uint64_t offset, const char* what) const {
        require(offset, 4, what);
        return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
               static_cast<uint32_t>(data[offset + 2]) << 16 |
               static_cast<uint32_t>(data[offset + 3]) << 24;
    }
};

struct Section {
    std::string name;
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t rawSize = 0;
    uint32_t rawOffset = 0;
    uint32_t characteristics = 0;

    // Bytes the loader maps; a zero VirtualSize means SizeOfRawData (old linkers).
    uint32_t extent() const { return virtualSize != 0 ? virtualSize : rawSize; }
    uint64_t end() const { return uint64_t{virtualAddress} + extent(); }
    bool contains(uint64_t rva) const { return rva >= virtualAddress && rva < end(); }
    // Bytes of the section that the file holds and the loader maps.
    uint32_t rawAvailable() const {
        return virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
    }
};

struct DataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

struct Headers {
    size_t optionalOffset = 0;
    size_t optionalSize = 0;
    size_t directoriesOffset = 0;
    uint32_t directoryCount = 0;
    size_t sectionTableOffset = 0;
    uint32_t symbolTable = 0;
    uint32_t symbolCount = 0;
    uint32_t sectionAlignment = 0;
    uint32_t fileAlignment = 0;
    uint32_t sizeOfHeaders = 0;
    std::vector<Section> sections;
    std::vector<DataDirectory> directories;

    DataDirectory directory(int index) const {
        return static_cast<uint32_t>(index) < directoryCount ? directories[index] : DataDirectory{};
    }
    size_t checksumOffset() const { return optionalOffset + kOptCheckSum; }
};

// The headers and the section table. Throws PeError when they are malformed or cut off.
Headers parseHeaders(const Bytes& file);

// "section \".rsrc\"", for messages.
std::string sectionLabel(const Section& s);

// The file offset of [rva, rva + length), which must lie within one section's data;
// `what` names the data in the PeError otherwise.
uint64_t rvaToOffset(const Bytes& file, const Headers& h, uint64_t rva, uint64_t length,
                     const char* what);

// The index of the section that holds `rva`, or -1.
int findSection(const Headers& h, uint64_t rva);

// The PE checksum of the file, the 4 bytes at `checksumOffset` counted as zero.
uint32_t checksum(const Bytes& file, size_t checksumOffset);

// ASCII letters upper-cased, as Windows compares resource names; other code units kept.
char16_t upperAscii(char16_t c);
std::u16string upperAscii(std::u16string text);

} // namespace pe
