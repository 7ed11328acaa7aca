// The name an author probably meant when they wrote one quizpack does not know: the key of a
// description, the column of a questions file, a file that is not where it was said to be.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// The one of `known` (`count` lower-case names) at most two edits from `name`, compared with
// its letters A-Z in lower case; "" when none is that close.
std::string closestName(const std::string& name, const char* const* known, size_t count);

// Whether `a` and `b` are the same but for the case of their letters A-Z.
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

// A file as it was found on disk, folder by folder: under its exact name where there is
// one, else under the only name that differs from it in the case of its letters A-Z alone
// (Q01.JPG for q01.jpg), which Windows opens and Linux does not.
struct FileLookup {
    std::filesystem::path found; // `written` as found (relative when it is); empty: not found
    std::string suggestion;      // when not found: the path with the nearest name (at most two
                                 // edits) of the last folder reached, "" when none is near
};

// Looks up `written` (relative to `base`, or absolute) the same way on every system.
FileLookup lookUpFile(const std::filesystem::path& base, const std::filesystem::path& written);
