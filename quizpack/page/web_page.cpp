#include "quizpack/page/web_page.h"

#include <cstdio>
#include <stdexcept>

#include "quizpack/common/cp1252.h"
#include "quizpack/description/description.h"
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

// ,"forms":[[...],[...]]: each answer's accepted forms beyond the first; nothing when the
// question has none, so that a quiz without them is written as before.
std::string otherFormsJson(const QuestionNode& node, int answers) {
    std::string lists;
    bool any = false;
    for (int a = 1; a <= answers; ++a) {
        const char* forms[kMaxAnswerForms];
        const int count = answerForms(&node, a, forms);
        lists += a > 1 ? ",[" : "[";
        for (int i = 1; i < count; ++i) {
            lists += (i > 1 ? "," : "") + jsonStringFromCp1252(forms[i]);
        }
        lists += "]";
        any = any || count > 1;
    }
    return any ? ",\"forms\":[" + lists + "]" : "";
}

std::string quizJson(const WebQuiz& page, const MediaLayout& layout, size_t graderOffset,
                     size_t graderSize) {
    const Quiz& quiz = *page.quiz;
    std::string j = "{";
    j += "\"type\":" + jsonNumber(quiz.quizType);
    j += ",\"answersPerQuestion\":" + jsonNumber(quiz.answersPerQuestion);
    j += ",\"revealMode\":" + jsonNumber(quiz.revealMode);
    j += ",\"title\":" + jsonStringFromCp1252(quiz.title);
    j += ",\"creator\":" + jsonStringFromCp1252(quiz.creator);
    j += ",\"explanation\":" + jsonStringFromCp1252(quiz.explanation);
    j += ",\"labels\":[" + jsonStringFromCp1252(quiz.answerLabel1) + "," +
         jsonStringFromCp1252(quiz.answerLabel2) + "]";
    j += ",\"background\":\"" + colourName(rgbOfColourref(quiz.backgroundColour)) + "\"";
    // The author's own address when the quiz gives one (an empty one hides the link).
    j += ",\"link\":" +
         jsonStringFromCp1252(quiz.linkChoice == LINK_AUTHOR ? quiz.link : kWebAuthorAddress);
    if (quiz.tolerances != 0) {
        j += ",\"tolerances\":" + jsonNumber(quiz.tolerances);
    }
    j += ",\"storageKey\":" + jsonStringFromCp1252(page.storageKey);
    j += ",\"grader\":[" + jsonNumber(static_cast<long long>(graderOffset)) + "," +
         jsonNumber(static_cast<long long>(graderSize)) + "]";
    j += ",\"mediaBytes\":" + jsonNumber(static_cast<long long>(layout.bytes.size()));
    j += ",\"codes\":[";
    for (int i = 0; i < quiz.questionCount && i < kMaxQuestions; ++i) {
        j += (i ? "," : "") + jsonStringFromCp1252(quiz.codes[i]);
    }
    j += "],\"questions\":[";
    int q = 0;
    for (const QuestionNode* n = quiz.head; n != nullptr && q < quiz.questionCount;
         n = n->next, ++q) {
        j += q ? ",{" : "{";
        j += "\"answers\":[" + jsonStringFromCp1252(n->answer1);
        if (quiz.answersPerQuestion == 2) {
            j += "," + jsonStringFromCp1252(n->answer2);
        }
        j += "]" + otherFormsJson(*n, quiz.answersPerQuestion == 2 ? 2 : 1);
        j += ",\"text\":" + jsonStringFromCp1252(n->questionText);
        j += ",\"reveal\":" + jsonStringFromCp1252(n->revealText);
        auto at = [](const std::vector<int>& v, int i) {
            return static_cast<size_t>(i) < v.size() ? v[static_cast<size_t>(i)] : -1;
        };
        j += ",\"media\":" + mediaJson(page, layout, at(page.questionMedia, q));
        j += ",\"revealPicture\":" + mediaJson(page, layout, at(page.revealPicture, q));
        j += "}";
    }
    j += "]}";
    return j;
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
    MediaLayout layout;
    for (const WebMedia& m : page.media) {
        layout.offsets.push_back(layout.bytes.size());
        layout.bytes.insert(layout.bytes.end(), m.bytes.begin(), m.bytes.end());
    }
    size_t graderOffset = layout.bytes.size();
    layout.bytes.insert(layout.bytes.end(), kWebGraderWasm.bytes,
                        kWebGraderWasm.bytes + kWebGraderWasm.size);

    std::string script(kWebPageScript.text());
    std::string style(kWebPageStyle.text());
    // Nothing from any network: the page's own script and style by their hashes, the
    // grader compiled from bytes it holds, pictures and clips as blob: URLs it makes.
    std::string csp = "default-src 'none'; script-src " + cspHash(script) +
                      " 'wasm-unsafe-eval'; style-src " + cspHash(style) +
                      "; img-src data:; media-src blob:; base-uri 'none'; form-action 'none'";
    return fillTemplate(kWebPageTemplate.text(),
                        {{"@CONTENT_SECURITY_POLICY@", csp},
                         {"@GENERATOR@", "quizpack " QUIZZ_VERSION},
                         {"@STYLE@", style},
                         {"@QUIZ_DATA@", quizJson(page, layout, graderOffset, kWebGraderWasm.size)},
                         {"@MEDIA_DATA@", bytesAsScriptText(layout.bytes)},
                         {"@SCRIPT@", script}});
}
