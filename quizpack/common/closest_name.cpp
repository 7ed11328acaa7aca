#include "quizpack/common/closest_name.h"

#include <vector>

#include "checking/grader.h"
#include "content/quiz.h"

namespace fs = std::filesystem;

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The names in `folder`; false when it cannot be listed (no such folder, or no right to).
bool listNames(const fs::path& folder, std::vector<std::string>* names) {
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        names->push_back(it->path().filename().u8string());
    }
    return !ec;
}

// The one of `names` closest to `name`, in their own spelling; "" when none is near.
std::string nearestName(const std::string& name, const std::vector<std::string>& names) {
    std::vector<std::string> lowered;
    for (const std::string& n : names) {
        lowered.push_back(n);
        for (char& c : lowered.back()) {
            c = lowerAscii(c);
        }
    }
    std::vector<const char*> known;
    for (const std::string& n : lowered) {
        known.push_back(n.c_str());
    }
    const std::string best = closestName(name, known.data(), known.size());
    for (size_t i = 0; i < names.size() && !best.empty(); ++i) {
        if (lowered[i] == best) {
            return names[i];
        }
    }
    return "";
}

} // namespace

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

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

FileLookup lookUpFile(const fs::path& base, const fs::path& written) {
    FileLookup result;
    fs::path reached = written.root_path();
    for (const fs::path& part : written.relative_path()) {
        const std::string name = part.u8string();
        if (name == "." || name == ".." || name.empty()) {
            reached /= part;
            continue;
        }
        // Listed rather than tried: Windows would open Q01.JPG as q01.jpg without a word. A
        // folder that may be entered but not listed takes the name as it is written.
        std::vector<std::string> names;
        std::error_code ec;
        if (!listNames(base / reached, &names) && fs::exists(base / reached / part, ec)) {
            reached /= part;
            continue;
        }
        std::vector<std::string> sameButCase;
        for (const std::string& n : names) {
            if (n == name) {
                sameButCase = {n};
                break;
            }
            if (sameNameIgnoringCase(n, name)) {
                sameButCase.push_back(n);
            }
        }
        if (sameButCase.size() != 1) {
            const std::string nearest = nearestName(name, names);
            if (!nearest.empty()) {
                result.suggestion = (reached / fs::u8path(nearest)).generic_u8string();
            }
            return result;
        }
        reached /= fs::u8path(sameButCase.front());
    }
    result.found = reached;
    return result;
}
