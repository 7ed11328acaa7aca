// Writing a resource section: the directory tree, data entries, name strings and data of
// a list of resources, in the order the Windows loader's binary search requires.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/executable/pe_image.h"

namespace pe {

// Windows order within a directory: named entries first, by upper-cased name (shorter
// first when one is a prefix of the other), then numbered entries ascending. Negative,
// zero or positive.
int compareIds(const ResourceId& a, const ResourceId& b);

// By type, then name, then language, each in Windows order.
bool resourceLess(const Resource& a, const Resource& b);

// "IMG 401 (language 0x0)", for messages.
std::string describeResource(const Resource& r);

// The resource section for `resources` (sorted by resourceLess, no two alike) placed at
// `sectionRva`: all directories, then the data entries, then the name strings, then the
// data, each datum 8-byte aligned as the Microsoft and GNU tools place them. Throws
// PeError when a directory would list more than 65535 entries or the image would reach
// 2 GiB.
std::vector<uint8_t> buildResourceSection(const std::vector<Resource>& resources,
                                          uint32_t sectionRva);

} // namespace pe
