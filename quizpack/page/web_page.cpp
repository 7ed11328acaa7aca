#include "quizpack/page/web_page.h"

#include <cstdio>
#include <stdexcept>

#include "quizpack/common/cp1252.h"
#include "quizpack/executable/packing.h"
#include "quizpack/page/sha256.h"
#include "quizpack/page/web_assets.h"

const char kWebAuthorAddress[] = "http://quizz.fr";

namespace {

// The characters that stand for themselves in bytesAsScriptText, and the escaped ones.
constexpr char kEscape = '!';
constexpr uint8_t kEscaped[] = {0x00, 0x0D, '<', kEscape};

void appendSeven(std::string* out, uint8_t v) {
    for (size_t i = 0; i < sizeof kEscaped; ++i) {
        if (v == kEscaped[i]) {
            *out += kEscape;
            *out += static_cast<char>('A' + i);
            return;
        }
    }
    *out += static_cast<char>(v);
}

std::string jsonNumber(long long n) {
    return std::to_string(n);
}

struct MediaLayout {
    std::vector<uint8_t> bytes; // every embedded file, one after the other
    std::vector<size_t> offsets;
};

// [offset, length, "mime"], or null.
std::string mediaJson(const WebQuiz& page, const MediaLayout& layout, int index) {
    if (index < 0 || static_cast<size_t>(index) >= page.media.size()) {
        return "null";
    }
    const WebMedia& m = page.media[static_cast<size_t>(index)];
    return "[" + jsonNumber(static_cast<long long>(layout.offsets[static_cast<size_t>(index)])) +
           "," + jsonNumber(static_cast<long long>(m.bytes.size())) + "," +
           jsonStringFromCp1252(m.mime) + "]";
}

// [offset, length] of one packed resource in the embedded bytes, or null for one the page
// does not carry.
std::string placeJson(size_t offset, size_t length, bool present) {
    return present ? "[" + jsonNumber(static_cast<long long>(offset)) + "," +
                         jsonNumber(static_cast<long long>(length)) + "]"
                   : "null";
}

// Where the page finds its parts in the embedded bytes. Nothing of the quiz itself: its
// texts, answers and codes are in the packed resources only.
std::string quizJson(const WebQuiz& page, const MediaLayout& layout, size_t graderOffset,
                     const size_t resourceOffsets[3], const WebPackedResources& packed) {
    const int questions = page.quiz->questionCount;
    std::string j = "{";
    j += "\"storageKey\":" + jsonStringFromCp1252(page.storageKey);
    j += ",\"link\":" + jsonStringFromCp1252(kWebAuthorAddress);
    j += ",\"grader\":" + placeJson(graderOffset, kWebGraderWasm.size, true);
    j += ",\"resources\":[" + placeJson(resourceOffsets[0], packed.package.size(), true) + "," +
         placeJson(resourceOffsets[1], packed.codeTable.size(), packed.codeTableFound) + "," +
         placeJson(resourceOffsets[2], packed.extras.size(), !packed.extras.empty()) + "]";
    j += ",\"mediaBytes\":" + jsonNumber(static_cast<long long>(layout.bytes.size()));
    auto at = [](const std::vector<int>& v, int i) {
        return static_cast<size_t>(i) < v.size() ? v[static_cast<size_t>(i)] : -1;
    };
    for (const auto& [name, slots] : {std::pair{"media", &page.questionMedia},
                                      std::pair{"revealPictures", &page.revealPicture}}) {
        j += std::string(",\"") + name + "\":[";
        for (int q = 0; q < questions; ++q) {
            j += (q ? "," : "") + mediaJson(page, layout, at(*slots, q));
        }
        j += "]";
    }
    return j + "}";
}

std::string cspHash(std::string_view text) {
    std::array<uint8_t, 32> digest = sha256(text);
    return "'sha256-" + toBase64(digest.data(), digest.size()) + "'";
}

// Puts each value in place of its marker, once, without looking into what was put in.
std::string fillTemplate(std::string_view page,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    std::string out;
    size_t at = 0;
    while (true) {
        size_t next = std::string_view::npos;
        const std::pair<std::string, std::string>* found = nullptr;
        for (const auto& v : values) {
            size_t p = page.find(v.first, at);
            if (p < next) {
                next = p;
                found = &v;
            }
        }
        if (found == nullptr) {
            out.append(page.substr(at));
            return out;
        }
        out.append(page.substr(at, next - at));
        out += found->second;
        at = next + found->first.size();
    }
}

} // namespace

std::string webStorageKey(const std::vector<uint8_t>& package,
                          const std::vector<uint8_t>& codeTable) {
    Sha256 hash;
    uint8_t sizes[8];
    for (int i = 0; i < 4; ++i) {
        sizes[i] = static_cast<uint8_t>(package.size() >> (8 * i));
        sizes[4 + i] = static_cast<uint8_t>(codeTable.size() >> (8 * i));
    }
    hash.add(sizes, sizeof sizes); // so that bytes cannot move from one part to the other
    hash.add(package.data(), package.size());
    hash.add(codeTable.data(), codeTable.size());
    std::array<uint8_t, 32> digest = hash.finish();
    return "quizz-answers-" + toHex(digest.data(), 16);
}

std::string bytesAsScriptText(const std::vector<uint8_t>& bytes) {
    std::string out;
    out.reserve(bytes.size() * 8 / 7 + bytes.size() / 16 + 2);
    uint32_t acc = 0;
    int bits = 0;
    for (uint8_t b : bytes) {
        acc = (acc << 8) | b;
        bits += 8;
        while (bits >= 7) {
            bits -= 7;
            appendSeven(&out, static_cast<uint8_t>((acc >> bits) & 0x7F));
        }
        acc &= (1u << bits) - 1;
    }
    if (bits > 0) {
        appendSeven(&out, static_cast<uint8_t>((acc << (7 - bits)) & 0x7F));
    }
    return out;
}

std::string jsonStringFromCp1252(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        uint32_t cp = cp1252CodePoint(static_cast<unsigned char>(c));
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp >= 0x20 && cp < 0x7F && cp != '<' && cp != '>' && cp != '&') {
            out += static_cast<char>(cp);
        } else {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(cp));
            out += escaped;
        }
    }
    return out + "\"";
}

std::string renderWebPage(const WebQuiz& page) {
    WebPackedResources packed = page.packed;
    if (packed.package.empty()) {
        PackedQuiz made = packQuiz(*page.quiz);
        packed.package = std::move(made.package);
        packed.codeTable = std::move(made.codeTable);
        packed.extras = std::move(made.extras);
        packed.codeTableFound = true;
    }
    MediaLayout layout;
    for (const WebMedia& m : page.media) {
        layout.offsets.push_back(layout.bytes.size());
        layout.bytes.insert(layout.bytes.end(), m.bytes.begin(), m.bytes.end());
    }
    // The clips come first and the grader right after them: the page makes one blob of
    // everything before the grader.
    size_t graderOffset = layout.bytes.size();
    layout.bytes.insert(layout.bytes.end(), kWebGraderWasm.bytes,
                        kWebGraderWasm.bytes + kWebGraderWasm.size);
    size_t resourceOffsets[3];
    const std::vector<uint8_t>* resources[3] = {&packed.package, &packed.codeTable, &packed.extras};
    for (int i = 0; i < 3; ++i) {
        resourceOffsets[i] = layout.bytes.size();
        layout.bytes.insert(layout.bytes.end(), resources[i]->begin(), resources[i]->end());
    }

    std::string script(kWebPageScript.text());
    std::string style(kWebPageStyle.text());
    // Nothing from any network: the page's own script and style by their hashes, the
    // grader compiled from bytes it holds, pictures and clips as blob: URLs it makes.
    std::string csp = "default-src 'none'; script-src " + cspHash(script) +
                      " 'wasm-unsafe-eval'; style-src " + cspHash(style) +
                      "; img-src data:; media-src blob:; base-uri 'none'; form-action 'none'";
    return fillTemplate(
        kWebPageTemplate.text(),
        {{"@CONTENT_SECURITY_POLICY@", csp},
         {"@GENERATOR@", "quizpack " QUIZZ_VERSION},
         {"@STYLE@", style},
         {"@QUIZ_DATA@", quizJson(page, layout, graderOffset, resourceOffsets, packed)},
         {"@MEDIA_DATA@", bytesAsScriptText(layout.bytes)},
         {"@SCRIPT@", script}});
}
