// replaceResources: a copy of a player program with a new resource section, the sections
// after it moved, and the headers that count them updated.
#include "quizpack/executable/pe_resources.h"

#include <cstring>

#include "quizpack/executable/pe_image.h"
#include "quizpack/executable/resource_rewrite_plan.h"
#include "quizpack/executable/resource_section_writer.h"
#include "quizpack/executable/resource_tree_reader.h"

using namespace pe;

namespace {

constexpr size_t kInserted = SIZE_MAX; // a section table entry that copies no template header

// One entry of the new section table, and which template header it copies.
struct TableEntry {
    Section section;
    size_t from;
};

// The new section table: the sections that stay, the resources, the moved tail; and what
// the headers that count them must say.
struct SectionTable {
    std::vector<TableEntry> entries;
    int64_t initializedDelta = 0; // change of SizeOfInitializedData
    uint64_t fileSize = 0;        // the end of the last section's data
    uint64_t sizeOfImage = 0;
};

// The resource section's own entry: the template's, or a new ".rsrc".
Section resourceSectionEntry(const Headers& h, const Plan& plan, size_t sectionSize) {
    Section rsrc = plan.insert ? Section{} : h.sections[plan.index];
    if (plan.insert) {
        rsrc.name = ".rsrc";
        rsrc.characteristics = kResourceSectionFlags;
    }
    rsrc.virtualAddress = static_cast<uint32_t>(plan.rva);
    rsrc.virtualSize = static_cast<uint32_t>(sectionSize);
    rsrc.rawOffset = static_cast<uint32_t>(plan.rawStart);
    rsrc.rawSize = static_cast<uint32_t>(alignUp(sectionSize, h.fileAlignment));
    return rsrc;
}

SectionTable layOutSectionTable(const Headers& h, const Plan& plan, size_t sectionSize) {
    SectionTable t;
    for (size_t i = 0; i < plan.index; ++i) {
        t.entries.push_back({h.sections[i], i});
    }
    const Section rsrc = resourceSectionEntry(h, plan, sectionSize);
    t.entries.push_back({rsrc, plan.insert ? kInserted : plan.index});
    t.initializedDelta =
        int64_t{rsrc.rawSize} - (plan.insert ? 0 : int64_t{h.sections[plan.index].rawSize});
    uint64_t nextRaw = uint64_t{rsrc.rawOffset} + rsrc.rawSize;
    for (size_t i = plan.tailStart; i < h.sections.size(); ++i) {
        Section s = h.sections[i];
        const uint64_t rva = alignUp(t.entries.back().section.end(), h.sectionAlignment);
        const uint64_t rawSize = alignUp(s.rawSize, h.fileAlignment);
        if (rva > kMaxImageSize || nextRaw + rawSize > kMaxImageSize) {
            break; // reported below with the total
        }
        s.virtualAddress = static_cast<uint32_t>(rva);
        s.rawOffset = static_cast<uint32_t>(nextRaw);
        s.rawSize = static_cast<uint32_t>(rawSize);
        t.initializedDelta += int64_t{s.rawSize} - h.sections[i].rawSize;
        nextRaw += rawSize;
        t.entries.push_back({s, i});
    }
    t.fileSize = nextRaw;
    t.sizeOfImage = alignUp(t.entries.back().section.end(), h.sectionAlignment);
    if (t.entries.size() != h.sections.size() + (plan.insert ? 1 : 0) ||
        t.sizeOfImage > kMaxImageSize || nextRaw > kMaxImageSize) {
        fail("the executable would take more than 2 GiB (resources alone " +
             std::to_string(sectionSize) +
             " bytes), more than Windows can load; use fewer or smaller media files");
    }
    return t;
}

// The template up to the resources, the new resource section, then the moved sections.
std::vector<uint8_t> copySections(const std::vector<uint8_t>& templateFile, const Headers& h,
                                  const Plan& plan, const SectionTable& table,
                                  const std::vector<uint8_t>& section) {
    // An inserted section starts at the aligned end of the data before it, which the file
    // need not pad: copy what there is and zero-fill the rest.
    const size_t kept = static_cast<size_t>(std::min<uint64_t>(plan.rawStart, templateFile.size()));
    std::vector<uint8_t> out(templateFile.begin(), templateFile.begin() + kept);
    out.resize(table.fileSize, 0);
    std::memcpy(out.data() + plan.rawStart, section.data(), section.size());
    for (size_t j = plan.index + 1; j < table.entries.size(); ++j) {
        const Section& src = h.sections[table.entries[j].from];
        std::memcpy(out.data() + table.entries[j].section.rawOffset,
                    templateFile.data() + src.rawOffset, src.rawSize);
    }
    return out;
}

void writeSectionTable(std::vector<uint8_t>& out, const std::vector<uint8_t>& templateFile,
                       const Headers& h, const SectionTable& table) {
    for (size_t j = 0; j < table.entries.size(); ++j) {
        const size_t at = h.sectionTableOffset + j * kSectionHeaderSize;
        const TableEntry& entry = table.entries[j];
        const Section& s = entry.section;
        if (entry.from == kInserted) {
            std::memset(out.data() + at, 0, kSectionHeaderSize);
            std::memcpy(out.data() + at, s.name.data(), s.name.size());
            put32(out, at + 36, s.characteristics);
        } else {
            std::memcpy(out.data() + at,
                        templateFile.data() + h.sectionTableOffset +
                            entry.from * kSectionHeaderSize,
                        kSectionHeaderSize);
        }
        put32(out, at + 8, s.virtualSize);
        put32(out, at + 12, s.virtualAddress);
        put32(out, at + 16, s.rawSize);
        put32(out, at + 20, s.rawOffset);
    }
    const size_t coff = h.optionalOffset - kCoffHeaderSize;
    put16(out, coff + 2, static_cast<uint16_t>(table.entries.size()));
}

// The resource and base relocation directories, SizeOfImage, SizeOfInitializedData and,
// last, the checksum.
void updateOptionalHeader(std::vector<uint8_t>& out, const Bytes& file, const Headers& h,
                          const Plan& plan, const SectionTable& table, size_t sectionSize) {
    const size_t dirs = h.directoriesOffset;
    put32(out, dirs + 8 * kDirResource, static_cast<uint32_t>(plan.rva));
    put32(out, dirs + 8 * kDirResource + 4, static_cast<uint32_t>(sectionSize));
    const DataDirectory relocs = h.directory(kDirBaseReloc);
    for (size_t j = plan.index + 1; j < table.entries.size(); ++j) {
        const Section& src = h.sections[table.entries[j].from];
        if (relocs.rva != 0 && src.contains(relocs.rva)) {
            put32(out, dirs + 8 * kDirBaseReloc,
                  relocs.rva - src.virtualAddress + table.entries[j].section.virtualAddress);
        }
    }
    put32(out, h.optionalOffset + kOptSizeOfImage, static_cast<uint32_t>(table.sizeOfImage));
    const uint32_t initialized =
        file.u32(h.optionalOffset + kOptSizeOfInitializedData, "SizeOfInitializedData");
    put32(out, h.optionalOffset + kOptSizeOfInitializedData,
          static_cast<uint32_t>(std::clamp<int64_t>(int64_t{initialized} + table.initializedDelta,
                                                    0, int64_t{UINT32_MAX})));
    put32(out, h.checksumOffset(), checksum(Bytes{out.data(), out.size()}, h.checksumOffset()));
}

} // namespace

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

    const SectionTable table = layOutSectionTable(h, plan, section.size());
    std::vector<uint8_t> out = copySections(templateFile, h, plan, table, section);
    writeSectionTable(out, templateFile, h, table);
    updateOptionalHeader(out, file, h, plan, table, section.size());
    return out;
}
