// Reading and rewriting the resources of a Windows executable (PE32 or PE32+) without any
// Windows API, so that quizpack builds quiz executables natively on every platform.
// Every read is checked against the real length of the bytes given: a damaged or hostile
// file gives a PeError, never a read outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A malformed executable, one the writer cannot rewrite safely, or a resource that cannot
// be stored. what() says what is wrong, where (file offsets and RVAs in hex) and, when
// there is one, how to fix it. It does not name the file: the caller adds the path.
class PeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A resource type or name: a number (RT_ICON = 3, dialog 1001, ...) or a string ("PATCH").
struct ResourceId {
    uint32_t number = 0; // the identifier when `name` is empty
    std::u16string name; // UTF-16 code units as stored in the file; empty for a number

    static ResourceId fromNumber(uint32_t number);
    // An ASCII name, upper-cased: Windows upper-cases a name before looking it up.
    static ResourceId fromName(std::string_view ascii);

    bool isName() const { return !name.empty(); }
    // "104", or the name ("PATCH"); code units outside printable ASCII as \uXXXX.
    std::string toString() const;
};

// Equal as Windows finds them: numbers by value, names without regard to ASCII case.
bool operator==(const ResourceId& a, const ResourceId& b);
inline bool operator!=(const ResourceId& a, const ResourceId& b) {
    return !(a == b);
}

// Predefined resource types (winuser.h RT_*).
constexpr uint32_t kRtCursor = 1;
constexpr uint32_t kRtBitmap = 2;
constexpr uint32_t kRtIcon = 3;
constexpr uint32_t kRtMenu = 4;
constexpr uint32_t kRtDialog = 5;
constexpr uint32_t kRtString = 6;
constexpr uint32_t kRtGroupCursor = 12;
constexpr uint32_t kRtGroupIcon = 14;
constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kRtManifest = 24;

struct Resource {
    ResourceId type;
    ResourceId name;
    uint16_t language = 0; // 0 = neutral, as the player's own resources are tagged
    uint32_t codePage = 0; // kept as read; Windows ignores it
    std::vector<uint8_t> data;
};

// All resources of the executable held in file[0, size), in directory order (type, then
// name, then language, as the file lists them). An executable without a resource
// directory gives an empty list. The result owns copies of the data; `file` is only read
// and may be freed afterwards. The copied data never exceeds `size` bytes in total.
// Throws PeError when the headers or the resource tree are malformed: anything outside
// the file, a directory reachable twice (loop or shared subtree), a tree that is not
// exactly type/name/language deep.
std::vector<Resource> readResources(const uint8_t* file, size_t size);
std::vector<Resource> readResources(const std::vector<uint8_t>& file);

// Chooses which of the template's resources to leave out: true drops the resource.
using ResourceFilter = std::function<bool(const Resource&)>;

// A copy of the executable `templateFile` holding the template's resources that `drop`
// does not reject (null drops none) plus `add` (language and code page as given; language
// 0 is neutral). The resource section is written anew in the same place (a template
// without one gets a new section), so the stored bytes of dropped resources appear nowhere
// in the result. Code and data keep their
// addresses and bytes; only a base relocation section after the resources moves (its
// directory follows it). SizeOfImage, SizeOfInitializedData and the checksum are updated.
// Names are stored upper-cased and sorted as the Windows loader's binary search requires.
// Deterministic: the same inputs give the same bytes. Returns the new file; the caller
// writes it (to a temporary file, then renamed, so no partial executable is left).
//
// Throws PeError, the template untouched, when:
// - the template is malformed (as readResources), signed (a certificate table), carries a
//   COFF symbol table (not stripped) or data appended after its last section;
// - a section other than the base relocations follows the resources, a data directory or
//   a base relocation points into the resources or after them, or a dropped resource's
//   data lies outside the resource section: the layout cannot be rewritten safely;
// - two resources would share type, name and language, an added name is not made of ASCII
//   letters, digits, '-' and '.', or the result would exceed 2 GiB.
std::vector<uint8_t> replaceResources(const std::vector<uint8_t>& templateFile,
                                      const ResourceFilter& drop, const std::vector<Resource>& add);

// The PE checksum of the file (the ImageHlp CheckSumMappedFile algorithm, the stored
// checksum field counted as zero). Throws PeError when the headers are malformed.
uint32_t computePeChecksum(const std::vector<uint8_t>& file);
