// PE/COFF layouts as Microsoft documents them (the structures of winnt.h), read and written
// byte by byte in little-endian order, so that no host struct packing or endianness leaks
// into the file.
#include "tools/quizpack/pe_resources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

namespace {

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
// A name longer than this is no identifier anybody types; the limit bounds the strings.
constexpr size_t kMaxAddedNameLength = 255;

std::string hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

[[noreturn]] void fail(const std::string& message) {
    throw PeError(message);
}

uint64_t alignUp(uint64_t value, uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

bool isPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
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

Headers parseHeaders(const Bytes& file) {
    if (file.size < kDosHeaderSize) {
        fail("the file has " + std::to_string(file.size) +
             " bytes, too few for a Windows executable (its DOS header alone takes 64)");
    }
    if (file.data[0] != 'M' || file.data[1] != 'Z') {
        fail("not a Windows executable: it does not start with \"MZ\"");
    }
    Headers h;
    const uint32_t peOffset = file.u32(kPeHeaderOffsetField, "PE header offset");
    file.require(peOffset, 4 + kCoffHeaderSize, "the PE signature and COFF header");
    if (std::memcmp(file.data + peOffset, "PE\0\0", 4) != 0) {
        fail("not a Windows executable: no \"PE\" signature at file offset " + hex(peOffset) +
             " (the offset stored at 0x3c)");
    }
    const size_t coff = peOffset + 4;
    const uint16_t sectionCount = file.u16(coff + 2, "the section count");
    h.symbolTable = file.u32(coff + 8, "the symbol table pointer");
    h.symbolCount = file.u32(coff + 12, "the symbol count");
    h.optionalSize = file.u16(coff + 16, "the optional header size");
    h.optionalOffset = coff + kCoffHeaderSize;

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
    h.sectionAlignment = file.u32(h.optionalOffset + kOptSectionAlignment, "SectionAlignment");
    h.fileAlignment = file.u32(h.optionalOffset + kOptFileAlignment, "FileAlignment");
    h.sizeOfHeaders = file.u32(h.optionalOffset + kOptSizeOfHeaders, "SizeOfHeaders");
    h.directoryCount =
        std::min(file.u32(h.optionalOffset + countField, "NumberOfRvaAndSizes"), kMaxDirectories);
    h.directoriesOffset = h.optionalOffset + countField + 4;
    if (countField + 4 + uint64_t{h.directoryCount} * 8 > h.optionalSize) {
        fail("the optional header at file offset " + hex(h.optionalOffset) + " declares " +
             std::to_string(h.directoryCount) + " data directories but has room for fewer");
    }
    for (uint32_t i = 0; i < h.directoryCount; ++i) {
        DataDirectory d;
        d.rva = file.u32(h.directoriesOffset + 8 * i, "a data directory");
        d.size = file.u32(h.directoriesOffset + 8 * i + 4, "a data directory");
        h.directories.push_back(d);
    }

    h.sectionTableOffset = h.optionalOffset + h.optionalSize;
    file.require(h.sectionTableOffset, uint64_t{sectionCount} * kSectionHeaderSize,
                 "the section table");
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const size_t at = h.sectionTableOffset + i * kSectionHeaderSize;
        Section s;
        const char* name = reinterpret_cast<const char*>(file.data + at);
        s.name.assign(name, strnlen(name, 8));
        s.virtualSize = file.u32(at + 8, "a section header");
        s.virtualAddress = file.u32(at + 12, "a section header");
        s.rawSize = file.u32(at + 16, "a section header");
        s.rawOffset = file.u32(at + 20, "a section header");
        s.characteristics = file.u32(at + 36, "a section header");
        h.sections.push_back(s);
    }
    return h;
}

std::string sectionLabel(const Section& s) {
    return "section \"" + s.name + "\"";
}

// The file offset of [rva, rva + length), which must lie within one section's data.
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

// ---- reading the resource tree ----

// Where a resource's data lies, so the writer can prove that dropped data sits in the
// section it rewrites.
struct DataPlace {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// Walks the three levels (type, name, language). Offsets in directory entries count from
// the start of the resource directory; directories and strings must lie within the data
// of the section that holds it, the resource data anywhere in the image's section data.
class TreeReader {
  public:
    TreeReader(const Bytes& file, const Headers& h, std::vector<Resource>* out,
               std::vector<DataPlace>* places)
        : file_(file), headers_(h), out_(out), places_(places) {}

    void read(uint32_t rootRva) {
        const int index = findSection(headers_, rootRva);
        if (index < 0) {
            fail("the resource directory at RVA " + hex(rootRva) +
                 " lies in no section: the file is damaged");
        }
        const Section& s = headers_.sections[index];
        const uint64_t into = rootRva - s.virtualAddress;
        if (into >= s.rawAvailable()) {
            fail("the resource directory at RVA " + hex(rootRva) + " lies past the data of " +
                 sectionLabel(s) + ": the file is damaged");
        }
        base_ = s.rawOffset + into;
        const uint64_t end =
            std::min<uint64_t>(uint64_t{s.rawOffset} + s.rawAvailable(), file_.size);
        span_ = end > base_ ? end - base_ : 0;
        readDirectory(0, 0, ResourceId{}, ResourceId{});
    }

  private:
    void requireInTree(uint64_t offset, uint64_t length, const char* what) const {
        if (offset > span_ || length > span_ - offset) {
            fail(std::string(what) + " at resource offset " + hex(offset) + " (file offset " +
                 hex(base_ + offset) + ", " + std::to_string(length) +
                 " bytes) lies outside the resource section's data (" + std::to_string(span_) +
                 " bytes): the file is damaged or truncated");
        }
    }

    ResourceId readId(uint32_t field, const char* level) const {
        if ((field & kHighBit) == 0) {
            return ResourceId::fromNumber(field);
        }
        const uint64_t at = field & ~kHighBit;
        requireInTree(at, 2, "a resource name");
        const uint16_t length = file_.u16(base_ + at, "a resource name");
        if (length == 0) {
            fail(std::string("an empty ") + level + " name at resource offset " + hex(at) +
                 ": the file is damaged");
        }
        requireInTree(at + 2, uint64_t{length} * 2, "a resource name");
        ResourceId id;
        for (uint16_t i = 0; i < length; ++i) {
            id.name.push_back(static_cast<char16_t>(file_.u16(base_ + at + 2 + 2 * i, "a name")));
        }
        return id;
    }

    void readDirectory(uint64_t at, int level, const ResourceId& type, const ResourceId& name) {
        // A tree reaches each directory once; a second visit is a loop or a shared subtree,
        // either of which could make the walk endless or its output explode.
        if (!visited_.insert(at).second) {
            fail("the resource directory at resource offset " + hex(at) +
                 " is reached twice (a loop in the resource tree): the file is damaged");
        }
        requireInTree(at, kDirectoryHeaderSize, "a resource directory");
        const uint32_t count = uint32_t{file_.u16(base_ + at + 12, "a resource directory")} +
                               file_.u16(base_ + at + 14, "a resource directory");
        requireInTree(at + kDirectoryHeaderSize, uint64_t{count} * kDirectoryEntrySize,
                      "the entries of a resource directory");
        static const char* const kLevels[] = {"type", "name", "language"};
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t entry = base_ + at + kDirectoryHeaderSize + i * kDirectoryEntrySize;
            const uint32_t idField = file_.u32(entry, "a resource directory entry");
            const uint32_t target = file_.u32(entry + 4, "a resource directory entry");
            const bool isDirectory = (target & kHighBit) != 0;
            const ResourceId id = readId(idField, kLevels[level]);
            if (level < 2 && !isDirectory) {
                fail(std::string("the resource ") + kLevels[level] + " entry " + id.toString() +
                     " at file offset " + hex(entry) +
                     " points to data instead of a directory: the tree must be type, name, "
                     "language deep; the file is damaged");
            }
            if (level == 2 && isDirectory) {
                fail("the resource " + type.toString() + " " + name.toString() +
                     " has a directory below its language level (file offset " + hex(entry) +
                     "): the tree must be type, name, language deep; the file is damaged");
            }
            if (level == 0) {
                readDirectory(target & ~kHighBit, 1, id, ResourceId{});
            } else if (level == 1) {
                readDirectory(target & ~kHighBit, 2, type, id);
            } else {
                if (id.isName() || id.number > 0xffff) {
                    fail("the resource " + type.toString() + " " + name.toString() +
                         " has a language that is not a 16-bit number (file offset " + hex(entry) +
                         "): the file is damaged");
                }
                readData(target, type, name, static_cast<uint16_t>(id.number));
            }
        }
    }

    void readData(uint64_t at, const ResourceId& type, const ResourceId& name, uint16_t language) {
        requireInTree(at, kDataEntrySize, "a resource data entry");
        const uint32_t rva = file_.u32(base_ + at, "a resource data entry");
        const uint32_t size = file_.u32(base_ + at + 4, "a resource data entry");
        Resource r;
        r.type = type;
        r.name = name;
        r.language = language;
        r.codePage = file_.u32(base_ + at + 8, "a resource data entry");
        // The resources of a well-formed file never overlap, so their total cannot exceed the
        // file; checking it bounds the memory a hostile tree can make us copy.
        totalData_ += size;
        if (totalData_ > file_.size) {
            fail("the resources' data add up to more than the file's " +
                 std::to_string(file_.size) + " bytes (at resource " + type.toString() + " " +
                 name.toString() + "): data entries overlap; the file is damaged");
        }
        if (size != 0) {
            const uint64_t offset = rvaToOffset(file_, headers_, rva, size, "resource data");
            r.data.assign(file_.data + offset, file_.data + offset + size);
        }
        out_->push_back(std::move(r));
        places_->push_back(DataPlace{rva, size});
    }

    const Bytes& file_;
    const Headers& headers_;
    std::vector<Resource>* out_;
    std::vector<DataPlace>* places_;
    uint64_t base_ = 0;
    uint64_t span_ = 0;
    uint64_t totalData_ = 0;
    std::set<uint64_t> visited_;
};

std::vector<Resource> readTree(const Bytes& file, const Headers& h,
                               std::vector<DataPlace>* places) {
    std::vector<Resource> out;
    const DataDirectory dir = h.directory(kDirResource);
    if (dir.rva != 0) {
        TreeReader(file, h, &out, places).read(dir.rva);
    }
    return out;
}

// ---- writing the resource section ----

// Windows order within a directory: named entries first, by upper-cased name (shorter
// first when one is a prefix of the other), then numbered entries ascending.
int compareIds(const ResourceId& a, const ResourceId& b) {
    if (a.isName() != b.isName()) {
        return a.isName() ? -1 : 1;
    }
    if (!a.isName()) {
        return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    }
    const std::u16string x = upperAscii(a.name);
    const std::u16string y = upperAscii(b.name);
    return x < y ? -1 : x > y ? 1 : 0;
}

bool resourceLess(const Resource& a, const Resource& b) {
    if (int c = compareIds(a.type, b.type)) {
        return c < 0;
    }
    if (int c = compareIds(a.name, b.name)) {
        return c < 0;
    }
    return a.language < b.language;
}

std::string describe(const Resource& r) {
    return r.type.toString() + " " + r.name.toString() + " (language " + hex(r.language) + ")";
}

void checkAddedId(const ResourceId& id, const Resource& r, const char* role) {
    if (!id.isName()) {
        if (id.number == 0 || id.number > 0xffff) {
            fail(std::string("cannot add resource ") + describe(r) + ": its " + role +
                 " number must be between 1 and 65535");
        }
        return;
    }
    if (id.name.size() > kMaxAddedNameLength) {
        fail(std::string("cannot add resource ") + describe(r) + ": its " + role +
             " name is longer than " + std::to_string(kMaxAddedNameLength) + " characters");
    }
    // Windows sorts names upper-cased and Wine lower-cased; the characters between 'Z' and
    // 'a' would sort differently in the two, so names keep to those that sort alike.
    for (char16_t c : id.name) {
        const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                        (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!ok) {
            fail(std::string("cannot add resource ") + describe(r) + ": its " + role +
                 " name may hold only ASCII letters, digits, '-' and '.'");
        }
    }
}

// The resource section for `resources` (sorted, unique) placed at `sectionRva`: all
// directories, then the data entries, then the name strings, then the data, each datum
// 8-byte aligned as the Microsoft and GNU tools place them.
std::vector<uint8_t> buildResourceSection(const std::vector<Resource>& resources,
                                          uint32_t sectionRva) {
    struct NameGroup {
        size_t first, count; // languages: resources[first, first + count)
    };
    struct TypeGroup {
        std::vector<NameGroup> names;
    };
    std::vector<TypeGroup> types;
    for (size_t i = 0; i < resources.size(); ++i) {
        const bool newType = i == 0 || compareIds(resources[i - 1].type, resources[i].type) != 0;
        if (newType) {
            types.push_back(TypeGroup{});
        }
        if (newType || compareIds(resources[i - 1].name, resources[i].name) != 0) {
            types.back().names.push_back(NameGroup{i, 0});
        }
        types.back().names.back().count++;
    }

    // A directory counts its named and its numbered entries in 16 bits each.
    size_t widest = types.size();
    for (const TypeGroup& t : types) {
        widest = std::max(widest, t.names.size());
        for (const NameGroup& n : t.names) {
            widest = std::max(widest, n.count);
        }
    }
    if (widest > 0xffff) {
        fail("a resource directory would list " + std::to_string(widest) +
             " entries, more than the 65535 a directory can hold");
    }

    // Layout, in bytes from the section start.
    uint64_t cursor = kDirectoryHeaderSize + types.size() * kDirectoryEntrySize;
    std::vector<uint64_t> typeDirAt, nameDirAt;
    for (const TypeGroup& t : types) {
        typeDirAt.push_back(cursor);
        cursor += kDirectoryHeaderSize + t.names.size() * kDirectoryEntrySize;
    }
    for (const TypeGroup& t : types) {
        for (const NameGroup& n : t.names) {
            nameDirAt.push_back(cursor);
            cursor += kDirectoryHeaderSize + n.count * kDirectoryEntrySize;
        }
    }
    const uint64_t dataEntriesAt = cursor;
    cursor += resources.size() * kDataEntrySize;
    std::vector<uint64_t> typeNameAt(types.size(), 0), nameNameAt(resources.size(), 0);
    size_t nameIndex = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        const ResourceId& type = resources[types[t].names.front().first].type;
        if (type.isName()) {
            typeNameAt[t] = cursor;
            cursor += 2 + 2 * type.name.size();
        }
        for (const NameGroup& n : types[t].names) {
            const ResourceId& name = resources[n.first].name;
            if (name.isName()) {
                nameNameAt[nameIndex] = cursor;
                cursor += 2 + 2 * name.name.size();
            }
            ++nameIndex;
        }
    }
    std::vector<uint64_t> dataAt;
    for (const Resource& r : resources) {
        cursor = alignUp(cursor, 8);
        dataAt.push_back(cursor);
        cursor += r.data.size();
    }
    if (cursor + sectionRva > kMaxImageSize) {
        fail("the resources take " + std::to_string(cursor) +
             " bytes: the executable would exceed the 2 GiB Windows can load; use fewer or smaller "
             "media files");
    }

    std::vector<uint8_t> out(cursor, 0);
    auto writeDirectoryHeader = [&](uint64_t at, size_t named, size_t numbered) {
        put16(out, at + 12, static_cast<uint16_t>(named));
        put16(out, at + 14, static_cast<uint16_t>(numbered));
    };
    auto idField = [](const ResourceId& id, uint64_t stringAt) {
        return id.isName() ? static_cast<uint32_t>(stringAt) | kHighBit : id.number;
    };
    auto writeString = [&](uint64_t at, const std::u16string& text) {
        put16(out, at, static_cast<uint16_t>(text.size()));
        for (size_t i = 0; i < text.size(); ++i) {
            put16(out, at + 2 + 2 * i, text[i]);
        }
    };

    size_t namedTypes = 0;
    for (const TypeGroup& t : types) {
        namedTypes += resources[t.names.front().first].type.isName() ? 1 : 0;
    }
    writeDirectoryHeader(0, namedTypes, types.size() - namedTypes);
    nameIndex = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        const ResourceId& type = resources[types[t].names.front().first].type;
        const uint64_t entry = kDirectoryHeaderSize + t * kDirectoryEntrySize;
        put32(out, entry, idField(type, typeNameAt[t]));
        put32(out, entry + 4, static_cast<uint32_t>(typeDirAt[t]) | kHighBit);
        if (type.isName()) {
            writeString(typeNameAt[t], type.name);
        }
        size_t namedNames = 0;
        for (const NameGroup& n : types[t].names) {
            namedNames += resources[n.first].name.isName() ? 1 : 0;
        }
        writeDirectoryHeader(typeDirAt[t], namedNames, types[t].names.size() - namedNames);
        for (size_t k = 0; k < types[t].names.size(); ++k, ++nameIndex) {
            const NameGroup& n = types[t].names[k];
            const ResourceId& name = resources[n.first].name;
            const uint64_t nameEntry =
                typeDirAt[t] + kDirectoryHeaderSize + k * kDirectoryEntrySize;
            put32(out, nameEntry, idField(name, nameNameAt[nameIndex]));
            put32(out, nameEntry + 4, static_cast<uint32_t>(nameDirAt[nameIndex]) | kHighBit);
            if (name.isName()) {
                writeString(nameNameAt[nameIndex], name.name);
            }
            writeDirectoryHeader(nameDirAt[nameIndex], 0, n.count);
            for (size_t l = 0; l < n.count; ++l) {
                const size_t r = n.first + l;
                const uint64_t langEntry =
                    nameDirAt[nameIndex] + kDirectoryHeaderSize + l * kDirectoryEntrySize;
                put32(out, langEntry, resources[r].language);
                put32(out, langEntry + 4,
                      static_cast<uint32_t>(dataEntriesAt + r * kDataEntrySize));
            }
        }
    }
    for (size_t r = 0; r < resources.size(); ++r) {
        const uint64_t entry = dataEntriesAt + r * kDataEntrySize;
        put32(out, entry, static_cast<uint32_t>(sectionRva + dataAt[r]));
        put32(out, entry + 4, static_cast<uint32_t>(resources[r].data.size()));
        put32(out, entry + 8, resources[r].codePage);
        if (!resources[r].data.empty()) {
            std::memcpy(out.data() + dataAt[r], resources[r].data.data(), resources[r].data.size());
        }
    }
    return out;
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

// ---- planning the rewrite ----

void refuseUnsafeTemplate(const Bytes& file, const Headers& h) {
    if (h.symbolTable != 0 || h.symbolCount != 0) {
        fail("the program carries a COFF symbol table (at file offset " + hex(h.symbolTable) +
             ") after its sections, which a new resource section would leave broken: strip it "
             "first (x86_64-w64-mingw32-strip, or link with -s)");
    }
    const DataDirectory security = h.directory(kDirSecurity);
    if (security.rva != 0 || security.size != 0) {
        fail("the program is signed (certificate table at file offset " + hex(security.rva) +
             "); changing its resources would invalidate the signature: use the unsigned program "
             "and sign the built quiz afterwards if needed");
    }
    if (h.fileAlignment < 512 || h.fileAlignment > 65536 || !isPowerOfTwo(h.fileAlignment) ||
        h.sectionAlignment < 4096 || !isPowerOfTwo(h.sectionAlignment)) {
        fail("the program's alignments (file " + hex(h.fileAlignment) + ", sections " +
             hex(h.sectionAlignment) +
             ") are not the usual ones (file 512 to 64 KiB, sections 4 KiB or more, powers of "
             "two): rebuild it with a standard linker");
    }
    if (h.sections.empty()) {
        fail("the program has no sections");
    }
    const uint64_t tableEnd = h.sectionTableOffset + h.sections.size() * kSectionHeaderSize;
    if (h.sizeOfHeaders > file.size || h.sizeOfHeaders < tableEnd) {
        fail("SizeOfHeaders (" + hex(h.sizeOfHeaders) +
             ") does not cover the section table (ending at file offset " + hex(tableEnd) +
             ") within the file: the file is damaged");
    }
    uint64_t dataEnd = h.sizeOfHeaders;
    for (size_t i = 0; i < h.sections.size(); ++i) {
        const Section& s = h.sections[i];
        if (s.end() > kMaxImageSize) {
            fail(sectionLabel(s) + " at RVA " + hex(s.virtualAddress) + " claims " +
                 hex(s.extent()) +
                 " bytes, reaching past the 2 GiB an image can span: the file is damaged");
        }
        if (i > 0 && s.virtualAddress < h.sections[i - 1].end()) {
            fail(sectionLabel(s) + " at RVA " + hex(s.virtualAddress) + " overlaps or precedes " +
                 sectionLabel(h.sections[i - 1]) +
                 ": the section table must run in address order; the file is damaged");
        }
        if (s.rawSize != 0) {
            file.require(s.rawOffset, s.rawSize, ("the data of " + sectionLabel(s)).c_str());
            dataEnd = std::max<uint64_t>(dataEnd, uint64_t{s.rawOffset} + s.rawSize);
        }
    }
    // Trailing zeros are file padding; anything else is appended data (an installer's
    // payload, debug symbols) that the rewrite would drop.
    for (uint64_t i = dataEnd; i < file.size; ++i) {
        if (file.data[i] != 0) {
            fail(std::to_string(file.size - dataEnd) +
                 " bytes are appended after the last section (from file offset " + hex(dataEnd) +
                 "), which a rewrite would lose: use the program as the linker wrote it");
        }
    }
}

// Where the rewrite happens. Sections [0, index) stay byte for byte; the resource section
// is written at `rva` and file offset `rawStart` (replacing section `index`, or inserted
// there when the program has no resources); sections [tailStart, end) move after it.
struct Plan {
    size_t index = 0;
    bool insert = false;
    uint64_t rva = 0;
    uint64_t rawStart = 0;
    size_t tailStart = 0;
};

Plan planRewrite(const Headers& h, const std::vector<uint8_t>& file) {
    const DataDirectory resources = h.directory(kDirResource);
    const DataDirectory relocs = h.directory(kDirBaseReloc);
    const size_t count = h.sections.size();
    Plan plan;
    if (resources.rva != 0) {
        plan.index = static_cast<size_t>(findSection(h, resources.rva)); // the tree was read
        const Section& s = h.sections[plan.index];
        if (s.virtualAddress != resources.rva) {
            fail("the resource directory (RVA " + hex(resources.rva) + ") does not start " +
                 sectionLabel(s) +
                 ", which may hold other data: the layout cannot be rewritten safely");
        }
        if (s.rawSize == 0 || s.rawOffset < h.sizeOfHeaders) {
            fail(sectionLabel(s) + " holds the resources but its file data is missing or inside "
                                   "the headers: the file is damaged");
        }
        plan.rva = s.virtualAddress;
        plan.rawStart = s.rawOffset;
        plan.tailStart = plan.index + 1;
    } else {
        if (h.directoryCount <= kDirResource) {
            fail("the program's optional header has no resource directory slot (" +
                 std::to_string(h.directoryCount) + " data directories)");
        }
        plan.insert = true;
        plan.index = count;
        if (relocs.rva != 0 && h.sections.back().contains(relocs.rva)) {
            plan.index = count - 1;
        }
        plan.tailStart = plan.index;
        plan.rva = alignUp(plan.index == 0 ? h.sizeOfHeaders : h.sections[plan.index - 1].end(),
                           h.sectionAlignment);
        plan.rawStart = h.sizeOfHeaders;
        for (size_t i = 0; i < plan.index; ++i) {
            const Section& s = h.sections[i];
            if (s.rawSize != 0) {
                plan.rawStart =
                    std::max<uint64_t>(plan.rawStart, uint64_t{s.rawOffset} + s.rawSize);
            }
        }
        plan.rawStart = alignUp(plan.rawStart, h.fileAlignment);
        if (plan.rva > kMaxImageSize) {
            fail("a resource section would start at RVA " + hex(plan.rva) +
                 ", past the 2 GiB an image can span: the file is damaged");
        }
    }

    for (size_t i = 0; i < plan.index; ++i) {
        const Section& s = h.sections[i];
        if (s.rawSize != 0 && uint64_t{s.rawOffset} + s.rawSize > plan.rawStart) {
            fail(sectionLabel(s) + " lies after the resources in the file (file offset " +
                 hex(s.rawOffset) + "): the layout cannot be rewritten safely");
        }
    }
    // Only the base relocation section can move: nothing refers to it but its directory.
    for (size_t i = plan.tailStart; i < count; ++i) {
        const Section& s = h.sections[i];
        if (relocs.rva == 0 || !s.contains(relocs.rva) ||
            uint64_t{relocs.rva} + relocs.size > s.end()) {
            fail(sectionLabel(s) + " follows the resources and is not the base relocation section, "
                                   "so it cannot move: the layout cannot be rewritten safely");
        }
    }
    if (relocs.rva != 0) {
        const int at = findSection(h, relocs.rva);
        const bool inTail = at >= 0 && static_cast<size_t>(at) >= plan.tailStart;
        if (!inTail && uint64_t{relocs.rva} + relocs.size > plan.rva) {
            fail("the base relocations (RVA " + hex(relocs.rva) +
                 ") share the resource section or lie in no section: the layout cannot be "
                 "rewritten safely");
        }
    }

    const size_t newCount = count + (plan.insert ? 1 : 0);
    const uint64_t tableEnd = h.sectionTableOffset + uint64_t{newCount} * kSectionHeaderSize;
    uint64_t firstRaw = plan.rawStart;
    for (const Section& s : h.sections) {
        if (s.rawSize != 0) {
            firstRaw = std::min<uint64_t>(firstRaw, s.rawOffset);
        }
    }
    if (tableEnd > firstRaw) {
        fail("the program's headers have no room for " +
             std::string(plan.insert ? "a new" : "the") +
             " section table entry: rebuild it with at least one resource (a .rc file) so that it "
             "has a resource section");
    }
    // The one more entry an insertion needs must be unused (zero) header space, not a
    // bound import table or other data that lives there.
    for (uint64_t i = tableEnd - (plan.insert ? kSectionHeaderSize : 0); i < tableEnd; ++i) {
        if (i >= file.size() || file[i] != 0) {
            fail("the program's headers hold data right after the section table, where a resource "
                 "section entry would go: rebuild it with at least one resource (a .rc file) so "
                 "that it has a resource section");
        }
    }
    return plan;
}

// Nothing that stays in place may refer into the bytes that are rewritten or moved: data
// directories (other than resources, certificates and base relocations), debug data by
// RVA or by file offset, the entry point, and the bytes base relocations patch.
void refuseReferencesIntoRewrite(const Bytes& file, const Headers& h, const Plan& plan) {
    static const char* const kNames[] = {"export",
                                         "import",
                                         "resource",
                                         "exception",
                                         "certificate",
                                         "base relocation",
                                         "debug",
                                         "architecture",
                                         "global pointer",
                                         "TLS",
                                         "load configuration",
                                         "bound import",
                                         "import address",
                                         "delay import",
                                         "CLR runtime",
                                         "reserved"};
    const char* const kUnsafe = ": the layout cannot be rewritten safely";
    for (uint32_t i = 0; i < h.directoryCount; ++i) {
        const DataDirectory d = h.directories[i];
        if (i == kDirResource || i == kDirSecurity || i == kDirBaseReloc || d.rva == 0) {
            continue;
        }
        if (uint64_t{d.rva} + d.size > plan.rva) {
            fail(std::string("the ") + kNames[i] + " directory (RVA " + hex(d.rva) +
                 ") lies in the resources or after them, where it would move" + kUnsafe);
        }
    }
    const DataDirectory debug = h.directory(kDirDebug);
    if (debug.rva != 0 && debug.size != 0) {
        const uint64_t start = rvaToOffset(file, h, debug.rva, debug.size, "the debug directory");
        for (uint64_t at = 0; at + 28 <= debug.size; at += 28) {
            const uint32_t size = file.u32(start + at + 16, "a debug entry");
            const uint32_t rva = file.u32(start + at + 20, "a debug entry");
            const uint32_t pointer = file.u32(start + at + 24, "a debug entry");
            if ((rva != 0 && uint64_t{rva} + size > plan.rva) ||
                (pointer != 0 && uint64_t{pointer} + size > plan.rawStart)) {
                fail("debug data at file offset " + hex(pointer) +
                     " lies in the resources or after them: strip the program "
                     "(x86_64-w64-mingw32-strip) first");
            }
        }
    }
    const uint32_t entryPoint =
        file.u32(h.optionalOffset + kOptAddressOfEntryPoint, "the entry point");
    if (entryPoint >= plan.rva) {
        fail("the entry point (RVA " + hex(entryPoint) + ") lies in the resources or after them" +
             kUnsafe);
    }
    const DataDirectory relocs = h.directory(kDirBaseReloc);
    if (relocs.rva == 0 || relocs.size == 0) {
        return;
    }
    const uint64_t start = rvaToOffset(file, h, relocs.rva, relocs.size, "the base relocations");
    uint64_t at = 0;
    while (relocs.size - at >= 8) {
        const uint32_t page = file.u32(start + at, "a base relocation block");
        const uint32_t blockSize = file.u32(start + at + 4, "a base relocation block");
        if (blockSize < 8 || blockSize > relocs.size - at) {
            fail("the base relocation block at RVA " + hex(relocs.rva + at) + " has size " +
                 hex(blockSize) + ", outside its directory: the file is damaged");
        }
        for (uint64_t e = 8; e + 2 <= blockSize; e += 2) {
            const uint16_t entry = file.u16(start + at + e, "a base relocation");
            const uint64_t target = uint64_t{page} + (entry & 0xfff);
            if ((entry >> 12) != 0 && target + 8 > plan.rva) { // type 0 is padding
                fail("a base relocation patches RVA " + hex(target) +
                     ", in the resources or after them" + kUnsafe);
            }
        }
        at += blockSize;
    }
}

// The template's resources that `drop` keeps, then `add`, names upper-cased, in Windows
// order. Dropped data must lie in the section that is rewritten, or a copy would remain.
std::vector<Resource> mergeResources(const Headers& h, const Plan& plan,
                                     const std::vector<Resource>& old,
                                     const std::vector<DataPlace>& places,
                                     const ResourceFilter& drop, const std::vector<Resource>& add) {
    std::vector<Resource> merged;
    for (size_t i = 0; i < old.size(); ++i) {
        if (!drop || !drop(old[i])) {
            merged.push_back(old[i]);
            continue;
        }
        const Section& s = h.sections[plan.index]; // the template has resources
        if (places[i].size != 0 && (places[i].rva < s.virtualAddress ||
                                    uint64_t{places[i].rva} + places[i].size >
                                        uint64_t{s.virtualAddress} + s.rawAvailable())) {
            fail("the data of resource " + describe(old[i]) +
                 " lies outside the resource section (RVA " + hex(places[i].rva) +
                 "), where it could not be erased: the layout cannot be rewritten safely");
        }
    }
    for (const Resource& r : add) {
        checkAddedId(r.type, r, "type");
        checkAddedId(r.name, r, "name");
        merged.push_back(r);
    }
    for (Resource& r : merged) {
        r.type.name = upperAscii(r.type.name);
        r.name.name = upperAscii(r.name.name);
    }
    std::stable_sort(merged.begin(), merged.end(), resourceLess);
    for (size_t i = 1; i < merged.size(); ++i) {
        if (!resourceLess(merged[i - 1], merged[i])) {
            fail("two resources " + describe(merged[i]) +
                 ": each type, name and language may appear once; drop the template's copy or add "
                 "it once");
        }
    }
    return merged;
}

} // namespace

// ---- ResourceId ----

ResourceId ResourceId::fromNumber(uint32_t number) {
    ResourceId id;
    id.number = number;
    return id;
}

ResourceId ResourceId::fromName(std::string_view ascii) {
    ResourceId id;
    for (char c : ascii) {
        id.name.push_back(upperAscii(static_cast<char16_t>(static_cast<unsigned char>(c))));
    }
    return id;
}

std::string ResourceId::toString() const {
    if (!isName()) {
        return std::to_string(number);
    }
    std::string text;
    for (char16_t c : name) {
        if (c >= 0x20 && c < 0x7f) {
            text.push_back(static_cast<char>(c));
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            text += escaped;
        }
    }
    return text;
}

bool operator==(const ResourceId& a, const ResourceId& b) {
    return compareIds(a, b) == 0;
}

// ---- public entry points ----

std::vector<Resource> readResources(const uint8_t* file, size_t size) {
    const Bytes bytes{file, size};
    std::vector<DataPlace> places;
    return readTree(bytes, parseHeaders(bytes), &places);
}

std::vector<Resource> readResources(const std::vector<uint8_t>& file) {
    return readResources(file.data(), file.size());
}

uint32_t computePeChecksum(const std::vector<uint8_t>& file) {
    const Bytes bytes{file.data(), file.size()};
    const Headers h = parseHeaders(bytes);
    bytes.require(h.checksumOffset(), 4, "the checksum field");
    return checksum(bytes, h.checksumOffset());
}

std::vector<uint8_t> replaceResources(const std::vector<uint8_t>& templateFile,
                                      const ResourceFilter& drop,
                                      const std::vector<Resource>& add) {
    const Bytes file{templateFile.data(), templateFile.size()};
    const Headers h = parseHeaders(file);
    refuseUnsafeTemplate(file, h);
    std::vector<DataPlace> places;
    const std::vector<Resource> old = readTree(file, h, &places);
    const Plan plan = planRewrite(h, templateFile);
    refuseReferencesIntoRewrite(file, h, plan);
    const std::vector<Resource> resources = mergeResources(h, plan, old, places, drop, add);
    const std::vector<uint8_t> section =
        buildResourceSection(resources, static_cast<uint32_t>(plan.rva));

    // The new section table: the sections that stay, the resources, the moved tail. Each
    // entry remembers which template header it copies (kInserted: none).
    constexpr size_t kInserted = SIZE_MAX;
    struct Entry {
        Section section;
        size_t from;
    };
    std::vector<Entry> table;
    for (size_t i = 0; i < plan.index; ++i) {
        table.push_back({h.sections[i], i});
    }
    Section rsrc = plan.insert ? Section{} : h.sections[plan.index];
    if (plan.insert) {
        rsrc.name = ".rsrc";
        rsrc.characteristics = kResourceSectionFlags;
    }
    rsrc.virtualAddress = static_cast<uint32_t>(plan.rva);
    rsrc.virtualSize = static_cast<uint32_t>(section.size());
    rsrc.rawOffset = static_cast<uint32_t>(plan.rawStart);
    rsrc.rawSize = static_cast<uint32_t>(alignUp(section.size(), h.fileAlignment));
    table.push_back({rsrc, plan.insert ? kInserted : plan.index});

    int64_t initializedDelta =
        int64_t{rsrc.rawSize} - (plan.insert ? 0 : int64_t{h.sections[plan.index].rawSize});
    uint64_t nextRaw = uint64_t{rsrc.rawOffset} + rsrc.rawSize;
    for (size_t i = plan.tailStart; i < h.sections.size(); ++i) {
        Section s = h.sections[i];
        const uint64_t rva = alignUp(table.back().section.end(), h.sectionAlignment);
        const uint64_t rawSize = alignUp(s.rawSize, h.fileAlignment);
        if (rva > kMaxImageSize || nextRaw + rawSize > kMaxImageSize) {
            break; // reported below with the total
        }
        s.virtualAddress = static_cast<uint32_t>(rva);
        s.rawOffset = static_cast<uint32_t>(nextRaw);
        s.rawSize = static_cast<uint32_t>(rawSize);
        initializedDelta += int64_t{s.rawSize} - h.sections[i].rawSize;
        nextRaw += rawSize;
        table.push_back({s, i});
    }
    const uint64_t sizeOfImage = alignUp(table.back().section.end(), h.sectionAlignment);
    if (table.size() != h.sections.size() + (plan.insert ? 1 : 0) || sizeOfImage > kMaxImageSize ||
        nextRaw > kMaxImageSize) {
        fail("the executable would take more than 2 GiB (resources alone " +
             std::to_string(section.size()) +
             " bytes), more than Windows can load; use fewer or smaller media files");
    }

    // An inserted section starts at the aligned end of the data before it, which the file
    // need not pad: copy what there is and zero-fill the rest.
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(plan.rawStart, templateFile.size()));
    std::vector<uint8_t> out(templateFile.begin(), templateFile.begin() + kept);
    out.resize(nextRaw, 0);
    std::memcpy(out.data() + plan.rawStart, section.data(), section.size());
    for (size_t j = plan.index + 1; j < table.size(); ++j) {
        const Section& src = h.sections[table[j].from];
        std::memcpy(out.data() + table[j].section.rawOffset, templateFile.data() + src.rawOffset,
                    src.rawSize);
    }

    for (size_t j = 0; j < table.size(); ++j) {
        const size_t at = h.sectionTableOffset + j * kSectionHeaderSize;
        const Section& s = table[j].section;
        if (table[j].from == kInserted) {
            std::memset(out.data() + at, 0, kSectionHeaderSize);
            std::memcpy(out.data() + at, s.name.data(), s.name.size());
            put32(out, at + 36, s.characteristics);
        } else {
            std::memcpy(out.data() + at,
                        templateFile.data() + h.sectionTableOffset +
                            table[j].from * kSectionHeaderSize,
                        kSectionHeaderSize);
        }
        put32(out, at + 8, s.virtualSize);
        put32(out, at + 12, s.virtualAddress);
        put32(out, at + 16, s.rawSize);
        put32(out, at + 20, s.rawOffset);
    }
    const size_t coff = h.optionalOffset - kCoffHeaderSize;
    put16(out, coff + 2, static_cast<uint16_t>(table.size()));

    const size_t dirs = h.directoriesOffset;
    put32(out, dirs + 8 * kDirResource, static_cast<uint32_t>(plan.rva));
    put32(out, dirs + 8 * kDirResource + 4, static_cast<uint32_t>(section.size()));
    const DataDirectory relocs = h.directory(kDirBaseReloc);
    for (size_t j = plan.index + 1; j < table.size(); ++j) {
        const Section& src = h.sections[table[j].from];
        if (relocs.rva != 0 && src.contains(relocs.rva)) {
            put32(out, dirs + 8 * kDirBaseReloc,
                  relocs.rva - src.virtualAddress + table[j].section.virtualAddress);
        }
    }
    put32(out, h.optionalOffset + kOptSizeOfImage, static_cast<uint32_t>(sizeOfImage));
    const uint32_t initialized =
        file.u32(h.optionalOffset + kOptSizeOfInitializedData, "SizeOfInitializedData");
    put32(out, h.optionalOffset + kOptSizeOfInitializedData,
          static_cast<uint32_t>(std::clamp<int64_t>(int64_t{initialized} + initializedDelta, 0,
                                                    int64_t{UINT32_MAX})));
    put32(out, h.checksumOffset(), checksum(Bytes{out.data(), out.size()}, h.checksumOffset()));
    return out;
}
