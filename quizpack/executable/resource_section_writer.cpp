#include "quizpack/executable/resource_section_writer.h"

#include <cstring>

namespace pe {

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

std::string describeResource(const Resource& r) {
    return r.type.toString() + " " + r.name.toString() + " (language " + hex(r.language) + ")";
}

namespace {

struct NameGroup {
    size_t first, count; // languages: resources[first, first + count)
};
struct TypeGroup {
    std::vector<NameGroup> names;
};

std::vector<TypeGroup> groupResources(const std::vector<Resource>& resources) {
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
    return types;
}

// A directory counts its named and its numbered entries in 16 bits each.
void refuseOverfullDirectories(const std::vector<TypeGroup>& types) {
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
}

// Where each part of the section goes, in bytes from its start. Name directories and
// name strings are counted across all types, in order; a numbered identifier has no
// string (offset 0).
struct SectionLayout {
    std::vector<uint64_t> typeDirAt, nameDirAt;
    uint64_t dataEntriesAt = 0;
    std::vector<uint64_t> typeNameAt, nameNameAt;
    std::vector<uint64_t> dataAt;
    uint64_t size = 0;
};

uint64_t layOutDirectories(const std::vector<TypeGroup>& types, SectionLayout* layout) {
    uint64_t cursor = kDirectoryHeaderSize + types.size() * kDirectoryEntrySize;
    for (const TypeGroup& t : types) {
        layout->typeDirAt.push_back(cursor);
        cursor += kDirectoryHeaderSize + t.names.size() * kDirectoryEntrySize;
    }
    for (const TypeGroup& t : types) {
        for (const NameGroup& n : t.names) {
            layout->nameDirAt.push_back(cursor);
            cursor += kDirectoryHeaderSize + n.count * kDirectoryEntrySize;
        }
    }
    return cursor;
}

uint64_t layOutStrings(const std::vector<Resource>& resources, const std::vector<TypeGroup>& types,
                       uint64_t cursor, SectionLayout* layout) {
    layout->typeNameAt.assign(types.size(), 0);
    layout->nameNameAt.assign(resources.size(), 0);
    size_t nameIndex = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        const ResourceId& type = resources[types[t].names.front().first].type;
        if (type.isName()) {
            layout->typeNameAt[t] = cursor;
            cursor += 2 + 2 * type.name.size();
        }
        for (const NameGroup& n : types[t].names) {
            const ResourceId& name = resources[n.first].name;
            if (name.isName()) {
                layout->nameNameAt[nameIndex] = cursor;
                cursor += 2 + 2 * name.name.size();
            }
            ++nameIndex;
        }
    }
    return cursor;
}

SectionLayout layOutSection(const std::vector<Resource>& resources,
                            const std::vector<TypeGroup>& types, uint32_t sectionRva) {
    SectionLayout layout;
    uint64_t cursor = layOutDirectories(types, &layout);
    layout.dataEntriesAt = cursor;
    cursor += resources.size() * kDataEntrySize;
    cursor = layOutStrings(resources, types, cursor, &layout);
    for (const Resource& r : resources) {
        cursor = alignUp(cursor, 8);
        layout.dataAt.push_back(cursor);
        cursor += r.data.size();
    }
    if (cursor + sectionRva > kMaxImageSize) {
        fail("the resources take " + std::to_string(cursor) +
             " bytes: the executable would exceed the 2 GiB Windows can load; use fewer or smaller "
             "media files");
    }
    layout.size = cursor;
    return layout;
}

// Fills a laid-out section: the root directory, each type's directory with its names'
// directories and their language entries, then the data entries and the data.
class SectionWriter {
  public:
    SectionWriter(const std::vector<Resource>& resources, const std::vector<TypeGroup>& types,
                  const SectionLayout& layout, uint32_t sectionRva)
        : resources_(resources), types_(types), layout_(layout), sectionRva_(sectionRva) {}

    std::vector<uint8_t> write() {
        out_.assign(layout_.size, 0);
        size_t namedTypes = 0;
        for (size_t t = 0; t < types_.size(); ++t) {
            namedTypes += typeOf(t).isName() ? 1 : 0;
        }
        writeDirectoryHeader(0, namedTypes, types_.size() - namedTypes);
        size_t nameIndex = 0;
        for (size_t t = 0; t < types_.size(); ++t) {
            writeType(t, &nameIndex);
        }
        writeData();
        return std::move(out_);
    }

  private:
    const ResourceId& typeOf(size_t t) const {
        return resources_[types_[t].names.front().first].type;
    }

    void writeDirectoryHeader(uint64_t at, size_t named, size_t numbered) {
        put16(out_, at + 12, static_cast<uint16_t>(named));
        put16(out_, at + 14, static_cast<uint16_t>(numbered));
    }

    // A directory entry: the identifier (a number, or the offset of its string with the
    // high bit) and the subdirectory it leads to.
    void writeEntry(uint64_t at, const ResourceId& id, uint64_t stringAt, uint64_t directoryAt) {
        put32(out_, at, id.isName() ? static_cast<uint32_t>(stringAt) | kHighBit : id.number);
        put32(out_, at + 4, static_cast<uint32_t>(directoryAt) | kHighBit);
        if (id.isName()) {
            put16(out_, stringAt, static_cast<uint16_t>(id.name.size()));
            for (size_t i = 0; i < id.name.size(); ++i) {
                put16(out_, stringAt + 2 + 2 * i, id.name[i]);
            }
        }
    }

    void writeType(size_t t, size_t* nameIndex) {
        const TypeGroup& group = types_[t];
        const uint64_t dirAt = layout_.typeDirAt[t];
        writeEntry(kDirectoryHeaderSize + t * kDirectoryEntrySize, typeOf(t), layout_.typeNameAt[t],
                   dirAt);
        size_t namedNames = 0;
        for (const NameGroup& n : group.names) {
            namedNames += resources_[n.first].name.isName() ? 1 : 0;
        }
        writeDirectoryHeader(dirAt, namedNames, group.names.size() - namedNames);
        for (size_t k = 0; k < group.names.size(); ++k, ++*nameIndex) {
            writeName(group.names[k], dirAt + kDirectoryHeaderSize + k * kDirectoryEntrySize,
                      *nameIndex);
        }
    }

    void writeName(const NameGroup& n, uint64_t entry, size_t nameIndex) {
        const uint64_t dirAt = layout_.nameDirAt[nameIndex];
        writeEntry(entry, resources_[n.first].name, layout_.nameNameAt[nameIndex], dirAt);
        writeDirectoryHeader(dirAt, 0, n.count);
        for (size_t l = 0; l < n.count; ++l) {
            const size_t r = n.first + l;
            const uint64_t langEntry = dirAt + kDirectoryHeaderSize + l * kDirectoryEntrySize;
            put32(out_, langEntry, resources_[r].language);
            put32(out_, langEntry + 4,
                  static_cast<uint32_t>(layout_.dataEntriesAt + r * kDataEntrySize));
        }
    }

    void writeData() {
        for (size_t r = 0; r < resources_.size(); ++r) {
            const uint64_t entry = layout_.dataEntriesAt + r * kDataEntrySize;
            const std::vector<uint8_t>& data = resources_[r].data;
            put32(out_, entry, static_cast<uint32_t>(sectionRva_ + layout_.dataAt[r]));
            put32(out_, entry + 4, static_cast<uint32_t>(data.size()));
            put32(out_, entry + 8, resources_[r].codePage);
            if (!data.empty()) {
                std::memcpy(out_.data() + layout_.dataAt[r], data.data(), data.size());
            }
        }
    }

    const std::vector<Resource>& resources_;
    const std::vector<TypeGroup>& types_;
    const SectionLayout& layout_;
    const uint32_t sectionRva_;
    std::vector<uint8_t> out_;
};

} // namespace

std::vector<uint8_t> buildResourceSection(const std::vector<Resource>& resources,
                                          uint32_t sectionRva) {
    const std::vector<TypeGroup> types = groupResources(resources);
    refuseOverfullDirectories(types);
    const SectionLayout layout = layOutSection(resources, types, sectionRva);
    return SectionWriter(resources, types, layout, sectionRva).write();
}

} // namespace pe
