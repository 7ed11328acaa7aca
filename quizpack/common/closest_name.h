// The name an author probably meant when they wrote one quizpack does not know: the key of a
// description, the column of a questions file.
#pragma once

#include <cstddef>
#include <string>

// The one of `known` (`count` lower-case names) at most two edits from `name`, compared with
// its letters A-Z in lower case; "" when none is that close.
std::string closestName(const std::string& name, const char* const* known, size_t count);
