#include "quizpack/executable/pe_image.h"
#include "quizpack/common/messages.h"

#include <cstdio>
#include <cstring>

namespace pe {

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

[[noreturn]] void fail(const std::string& message) {
    throw PeError(message);
}

void put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

namespace {

// The COFF header after the "PE" signature: the section count, the symbol table and where
// the optional header lies.
uint16_t readCoffHeader(const Bytes& file, Headers* h) {
    const uint32_t peOffset = file.u32(kPeHeaderOffsetField, "PE header offset");
    file.require(peOffset, 4 + kCoffHeaderSize, "the PE signature and COFF header");
    if (std::memcmp(file.data + peOffset, "PE\0\0", 4) != 0) {
        fail(tr("not a Windows executable: no \"PE\" signature at file offset {offset} (the "
                "offset stored at 0x3c)",
                {{"offset", hex(peOffset)}}));
    }
    const size_t coff = peOffset + 4;
    const uint16_t sectionCount = file.u16(coff + 2, "the section count");
    h->symbolTable = file.u32(coff + 8, "the symbol table pointer");
    h->symbolCount = file.u32(coff + 12, "the symbol count");
    h->optionalSize = file.u16(coff + 16, "the optional header size");
    h->optionalOffset = coff + kCoffHeaderSize;
    return sectionCount;
}

// The optional header's offset of NumberOfRvaAndSizes, after the fields whose width PE32
// and PE32+ differ in.
size_t directoryCountField(const Bytes& file, const Headers& h) {
    file.require(h.optionalOffset, h.optionalSize, "the optional header");
    const uint16_t magic =
        h.optionalSize >= 2 ? file.u16(h.optionalOffset, "the optional header") : uint16_t{0};
    size_t countField = 0;
    if (magic == kMagicPe32Plus) {
        countField = 108;
    } else if (magic == kMagicPe32) {
        countField = 92;
    } else {
        fail("the optional header at file offset " + hex(h.optionalOffset) +
             " is neither PE32 nor PE32+ (magic " + hex(magic) + ")");
    }
    if (h.optionalSize < countField + 4) {
        fail("the optional header at file offset " + hex(h.optionalOffset) + " has " +
             std::to_string(h.optionalSize) + " bytes, too few for its fixed fields");
    }
    return countField;
}

void readOptionalHeader(const Bytes& file, Headers* h) {
    const size_t countField = directoryCountField(file, *h);
    h->sectionAlignment = file.u32(h->optionalOffset + kOptSectionAlignment, "SectionAlignment");
    h->fileAlignment = file.u32(h->optionalOffset + kOptFileAlignment, "FileAlignment");
    h->sizeOfHeaders = file.u32(h->optionalOffset + kOptSizeOfHeaders, "SizeOfHeaders");
    h->directoryCount =
        std::min(file.u32(h->optionalOffset + countField, "NumberOfRvaAndSizes"), kMaxDirectories);
    h->directoriesOffset = h->optionalOffset + countField + 4;
    if (countField + 4 + uint64_t{h->directoryCount} * 8 > h->optionalSize) {
        fail("the optional header at file offset " + hex(h->optionalOffset) + " declares " +
             std::to_string(h->directoryCount) + " data directories but has room for fewer");
    }
    for (uint32_t i = 0; i < h->directoryCount; ++i) {
        DataDirectory d;
        d.rva = file.u32(h->directoriesOffset + 8 * i, "a data directory");
        d.size = file.u32(h->directoriesOffset + 8 * i + 4, "a data directory");
        h->directories.push_back(d);
    }
}

void readSectionTable(const Bytes& file, uint16_t sectionCount, Headers* h) {
    h->sectionTableOffset = h->optionalOffset + h->optionalSize;
    file.require(h->sectionTableOffset, uint64_t{sectionCount} * kSectionHeaderSize,
                 "the section table");
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const size_t at = h->sectionTableOffset + i * kSectionHeaderSize;
        Section s;
        const char* name = reinterpret_cast<const char*>(file.data + at);
        s.name.assign(name, strnlen(name, 8));
        s.virtualSize = file.u32(at + 8, "a section header");
        s.virtualAddress = file.u32(at + 12, "a section header");
        s.rawSize = file.u32(at + 16, "a section header");
        s.rawOffset = file.u32(at + 20, "a section header");
        s.characteristics = file.u32(at + 36, "a section header");
        h->sections.push_back(s);
    }
}

} // namespace

Headers parseHeaders(const Bytes& file) {
    if (file.size < kDosHeaderSize) {
        fail(tr("the file has {bytes} bytes, too few for a Windows executable (its DOS header "
                "alone takes 64)",
                {{"bytes", file.size}}));
    }
    if (file.data[0] != 'M' || file.data[1] != 'Z') {
        fail(tr("not a Windows executable: it does not start with \"MZ\""));
    }
    Headers h;
    const uint16_t sectionCount = readCoffHeader(file, &h);
    readOptionalHeader(file, &h);
    readSectionTable(file, sectionCount, &h);
    return h;
}

std::string sectionLabel(const Section& s) {
    return "section \"" + s.name + "\"";
}

uint64_t rvaToOffset(const Bytes& file, const Headers& h, uint64_t rva, uint64_t length,
                     const char* what) {
    for (const Section& s : h.sections) {
        if (!s.contains(rva)) {
            continue;
        }
        const uint64_t into = rva - s.virtualAddress;
        if (length > s.rawAvailable() || into > s.rawAvailable() - length) {
            fail(std::string(what) + " at RVA " + hex(rva) + " (" + std::to_string(length) +
                 " bytes) runs past the data of " + sectionLabel(s) + ": the file is damaged");
        }
        const uint64_t offset = uint64_t{s.rawOffset} + into;
        file.require(offset, length, what);
        return offset;
    }
    fail(std::string(what) + " at RVA " + hex(rva) + " lies in no section: the file is damaged");
}

int findSection(const Headers& h, uint64_t rva) {
    for (size_t i = 0; i < h.sections.size(); ++i) {
        if (h.sections[i].contains(rva)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

char16_t upperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}

std::u16string upperAscii(std::u16string text) {
    for (char16_t& c : text) {
        c = upperAscii(c);
    }
    return text;
}

uint32_t checksum(const Bytes& file, size_t checksumOffset) {
    // The stored checksum counts as zero, wherever a hostile header puts it.
    auto byteAt = [&](size_t i) -> uint32_t {
        const bool inField = i >= checksumOffset && i - checksumOffset < 4;
        return i < file.size && !inField ? file.data[i] : 0;
    };
    uint64_t sum = 0;
    for (size_t i = 0; i < file.size; i += 2) {
        sum += byteAt(i) | byteAt(i + 1) << 8;
        sum = (sum & 0xffff) + (sum >> 16);
    }
    sum = (sum & 0xffff) + (sum >> 16);
    return static_cast<uint32_t>(sum + file.size);
}

} // namespace pe
