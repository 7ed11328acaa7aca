#include "quizpack/executable/resource_tree_reader.h"

#include <set>

namespace pe {

namespace {

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

} // namespace

std::vector<Resource> readTree(const Bytes& file, const Headers& h,
                               std::vector<DataPlace>* places) {
    std::vector<Resource> out;
    const DataDirectory dir = h.directory(kDirResource);
    if (dir.rva != 0) {
        TreeReader(file, h, &out, places).read(dir.rva);
    }
    return out;
}

} // namespace pe
