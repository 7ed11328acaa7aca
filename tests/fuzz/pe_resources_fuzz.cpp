// readResources and replaceResources on arbitrary bytes: no read outside the buffer (ASan),
// only PeError for bad input, and whatever the writer accepts reads back with the template's
// other resources and the added one.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "quizpack/executable/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<Resource> before;
    try {
        before = readResources(data, size);
    } catch (const PeError&) {
        return 0;
    }
    const ResourceId img = ResourceId::fromName("IMG");
    size_t kept = 0;
    for (const Resource& r : before) {
        kept += r.type == img ? 0 : 1;
    }
    Resource added;
    added.type = img;
    added.name = ResourceId::fromNumber(401);
    added.data.assign(data, data + (size < 300 ? size : 300));

    std::vector<uint8_t> out;
    try {
        out = replaceResources(std::vector<uint8_t>(data, data + size),
                               [&](const Resource& r) { return r.type == img; }, {added});
    } catch (const PeError&) {
        return 0;
    }
    // A written file that the reader rejects, or that lost a resource, is a writer fault.
    const std::vector<Resource> after = readResources(out);
    if (after.size() != kept + 1) {
        std::abort();
    }
    bool found = false;
    for (const Resource& r : after) {
        found = found || (r.type == img && r.name == added.name && r.data == added.data);
    }
    if (!found) {
        std::abort();
    }
    return 0;
}
