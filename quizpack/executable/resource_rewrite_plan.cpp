#include "quizpack/executable/resource_rewrite_plan.h"

#include <algorithm>
#include <string>

#include "quizpack/executable/resource_section_writer.h"

namespace pe {

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

namespace {

// The resource section is rewritten where it is; the sections after it move.
Plan planReplacement(const Headers& h, const DataDirectory& resources) {
    Plan plan;
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
    return plan;
}

// A program without resources gets a new section, before the base relocations when they
// come last (they can move), else at the end.
Plan planInsertion(const Headers& h, const DataDirectory& relocs) {
    const size_t count = h.sections.size();
    Plan plan;
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
            plan.rawStart = std::max<uint64_t>(plan.rawStart, uint64_t{s.rawOffset} + s.rawSize);
        }
    }
    plan.rawStart = alignUp(plan.rawStart, h.fileAlignment);
    if (plan.rva > kMaxImageSize) {
        fail("a resource section would start at RVA " + hex(plan.rva) +
             ", past the 2 GiB an image can span: the file is damaged");
    }
    return plan;
}

// Sections before the resources stay byte for byte, and those after them must be free to
// move.
void refuseUnmovableSections(const Headers& h, const Plan& plan) {
    const DataDirectory relocs = h.directory(kDirBaseReloc);
    for (size_t i = 0; i < plan.index; ++i) {
        const Section& s = h.sections[i];
        if (s.rawSize != 0 && uint64_t{s.rawOffset} + s.rawSize > plan.rawStart) {
            fail(sectionLabel(s) + " lies after the resources in the file (file offset " +
                 hex(s.rawOffset) + "): the layout cannot be rewritten safely");
        }
    }
    // Only the base relocation section can move: nothing refers to it but its directory.
    for (size_t i = plan.tailStart; i < h.sections.size(); ++i) {
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
}

// The section table must have room for its entries within the headers.
void refuseFullSectionTable(const Headers& h, const std::vector<uint8_t>& file, const Plan& plan) {
    const size_t newCount = h.sections.size() + (plan.insert ? 1 : 0);
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
}

const char* const kDirectoryNames[] = {"export",
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

// Data directories (other than resources, certificates and base relocations) must lie
// before the resources.
void refuseDirectoriesInRewrite(const Headers& h, const Plan& plan) {
    for (uint32_t i = 0; i < h.directoryCount; ++i) {
        const DataDirectory d = h.directories[i];
        if (i == kDirResource || i == kDirSecurity || i == kDirBaseReloc || d.rva == 0) {
            continue;
        }
        if (uint64_t{d.rva} + d.size > plan.rva) {
            fail(std::string("the ") + kDirectoryNames[i] + " directory (RVA " + hex(d.rva) +
                 ") lies in the resources or after them, where it would move" + kUnsafe);
        }
    }
}

// Debug data, by RVA or by file offset, must lie before the resources.
void refuseDebugDataInRewrite(const Bytes& file, const Headers& h, const Plan& plan) {
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
}

// No base relocation may patch bytes in the resources or after them.
void refuseRelocationsIntoRewrite(const Bytes& file, const Headers& h, const Plan& plan) {
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

// A name longer than this is no identifier anybody types; the limit bounds the strings.
constexpr size_t kMaxAddedNameLength = 255;

void checkAddedId(const ResourceId& id, const Resource& r, const char* role) {
    if (!id.isName()) {
        if (id.number == 0 || id.number > 0xffff) {
            fail(std::string("cannot add resource ") + describeResource(r) + ": its " + role +
                 " number must be between 1 and 65535");
        }
        return;
    }
    if (id.name.size() > kMaxAddedNameLength) {
        fail(std::string("cannot add resource ") + describeResource(r) + ": its " + role +
             " name is longer than " + std::to_string(kMaxAddedNameLength) + " characters");
    }
    // Windows sorts names upper-cased and Wine lower-cased; the characters between 'Z' and
    // 'a' would sort differently in the two, so names keep to those that sort alike.
    for (char16_t c : id.name) {
        const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                        (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
        if (!ok) {
            fail(std::string("cannot add resource ") + describeResource(r) + ": its " + role +
                 " name may hold only ASCII letters, digits, '-' and '.'");
        }
    }
}

} // namespace

Plan planRewrite(const Headers& h, const std::vector<uint8_t>& file) {
    const DataDirectory resources = h.directory(kDirResource);
    Plan plan = resources.rva != 0 ? planReplacement(h, resources)
                                   : planInsertion(h, h.directory(kDirBaseReloc));
    refuseUnmovableSections(h, plan);
    refuseFullSectionTable(h, file, plan);
    return plan;
}

void refuseReferencesIntoRewrite(const Bytes& file, const Headers& h, const Plan& plan) {
    refuseDirectoriesInRewrite(h, plan);
    refuseDebugDataInRewrite(file, h, plan);
    const uint32_t entryPoint =
        file.u32(h.optionalOffset + kOptAddressOfEntryPoint, "the entry point");
    if (entryPoint >= plan.rva) {
        fail("the entry point (RVA " + hex(entryPoint) + ") lies in the resources or after them" +
             kUnsafe);
    }
    refuseRelocationsIntoRewrite(file, h, plan);
}

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
            fail("the data of resource " + describeResource(old[i]) +
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
            fail("two resources " + describeResource(merged[i]) +
                 ": each type, name and language may appear once; drop the template's copy or add "
                 "it once");
        }
    }
    return merged;
}

} // namespace pe
