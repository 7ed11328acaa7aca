// Reading the resource tree of a PE image: the three levels (type, name, language) that
// the resource data directory points to, every offset checked against the real data.
#pragma once

#include <cstdint>
#include <vector>

#include "quizpack/executable/pe_image.h"

namespace pe {

// Where a resource's data lies, so the writer can prove that dropped data sits in the
// section it rewrites.
struct DataPlace {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// Every resource of the image in directory order, with copies of their data; places[i]
// receives where resource i's data lies. An image without a resource directory has none.
// Throws PeError when the tree is malformed: anything outside the data, a directory
// reached twice, a tree that is not exactly type/name/language deep.
std::vector<Resource> readTree(const Bytes& file, const Headers& h, std::vector<DataPlace>* places);

} // namespace pe
