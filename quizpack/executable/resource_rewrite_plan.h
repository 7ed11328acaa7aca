// Planning the rewrite of a PE image's resources: which templates can be rewritten at
// all, where the new resource section goes, what nothing may refer into, and the merged
// list of resources it will hold. Every check throws PeError, the template untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quizpack/executable/resource_tree_reader.h"

namespace pe {

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

// Signed, not stripped, data appended after the sections, unusual alignments, sections
// out of order: templates whose rewrite would break something or lose data.
void refuseUnsafeTemplate(const Bytes& file, const Headers& h);

// Where the resources go, after checking that only the base relocations follow them and
// that the section table has room.
Plan planRewrite(const Headers& h, const std::vector<uint8_t>& file);

// Nothing that stays in place may refer into the bytes that are rewritten or moved: data
// directories (other than resources, certificates and base relocations), debug data by
// RVA or by file offset, the entry point, and the bytes base relocations patch.
void refuseReferencesIntoRewrite(const Bytes& file, const Headers& h, const Plan& plan);

// The template's resources `old` (their data at `places`) that `drop` keeps, then `add`,
// names upper-cased, in Windows order. Dropped data must lie in the section that is
// rewritten, or a copy would remain; added identifiers must be ones Windows and Wine sort
// alike; no two resources may share type, name and language.
std::vector<Resource> mergeResources(const Headers& h, const Plan& plan,
                                     const std::vector<Resource>& old,
                                     const std::vector<DataPlace>& places,
                                     const ResourceFilter& drop, const std::vector<Resource>& add);

} // namespace pe
