#include "quizpack/common/closest_name.h"

#include "checking/grader.h"
#include "content/quiz.h"

std::string closestName(const std::string& name, const char* const* known, size_t count) {
    // The grader's distance takes zero-terminated texts of at most 259 bytes. A longer name
    // is over 200 edits from every known one; a NUL (a quoted key may hold \u0000) becomes
    // DEL, which, like NUL, matches no character of a known name.
    if (name.size() > static_cast<size_t>(kTextCapacity - 1)) {
        return "";
    }
    std::string lowered = name;
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        } else if (c == '\0') {
            c = '\x7f';
        }
    }
    std::string best;
    int bestDistance = 3; // more than two edits away is not a typo any more
    for (size_t i = 0; i < count; ++i) {
        int d = editDistance(lowered.c_str(), known[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = known[i];
        }
    }
    return best;
}
