// The public face of the PE resource code (pe_resources.h): resource identifiers, reading
// the resources and the checksum. The rewrite lives in resource_rewrite.cpp, the layouts
// it shares with this file in pe_image.h.
#include "quizpack/executable/pe_resources.h"

#include <cstdio>

#include "quizpack/executable/pe_image.h"
#include "quizpack/executable/resource_section_writer.h"
#include "quizpack/executable/resource_tree_reader.h"

using namespace pe;

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
