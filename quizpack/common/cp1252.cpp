#include "quizpack/common/cp1252.h"
#include "quizpack/common/messages.h"

#include <cstdio>
#include <cstring>

namespace {

// Characters of bytes 0x80..0x9F; the undefined bytes keep their C1 control value.
const uint16_t kHighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool codepointToByte(uint32_t cp, unsigned char* byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        *byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == cp) {
            *byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void appendUtf8(std::string* out, uint32_t cp) {
    if (cp < 0x80) {
        out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 character at s[*i]; false on a malformed sequence.
bool nextCodepoint(std::string_view s, size_t* i, uint32_t* cp) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = byte(*i);
    int extra;
    uint32_t value;
    if (b0 < 0x80) {
        extra = 0;
        value = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        value = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        value = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        value = b0 & 0x07;
    } else {
        return false;
    }
    if (*i + extra >= s.size()) {
        return false; // the sequence is cut off by the end of the text
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = byte(*i + k);
        if ((b & 0xC0) != 0x80) {
            return false;
        }
        value = (value << 6) | (b & 0x3F);
    }
    static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (value < kMin[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false; // overlong forms and surrogates are not characters
    }
    *i += extra + 1;
    *cp = value;
    return true;
}

} // namespace

size_t utf8CharacterLength(std::string_view text, size_t at, uint32_t* codepoint) {
    size_t next = at;
    uint32_t value = 0;
    if (!nextCodepoint(text, &next, &value)) {
        return 0;
    }
    if (codepoint != nullptr) {
        *codepoint = value;
    }
    return next - at;
}

bool utf8ToCp1252(std::string_view utf8, std::string* out, Cp1252Error* error) {
    out->clear();
    size_t i = 0;
    size_t position = 0;
    while (i < utf8.size()) {
        ++position;
        uint32_t cp = 0;
        if (!nextCodepoint(utf8, &i, &cp)) {
            *error = Cp1252Error{position, static_cast<unsigned char>(utf8[i]), true};
            return false;
        }
        unsigned char b;
        if (!codepointToByte(cp, &b)) {
            *error = Cp1252Error{position, cp, false};
            return false;
        }
        out->push_back(static_cast<char>(b));
    }
    return true;
}

std::string utf8ToCp1252AsTyped(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t start = i;
        uint32_t cp = 0;
        unsigned char b = 0;
        const bool read = nextCodepoint(utf8, &i, &cp);
        out.push_back(read && cp != 0 && codepointToByte(cp, &b) ? static_cast<char>(b) : '?');
        i = read ? i : start + 1;
    }
    return out;
}

uint32_t cp1252CodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighTable[byte - 0x80] : byte;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char c : bytes) {
        appendUtf8(&out, cp1252CodePoint(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string_view asciiSpelling(unsigned char byte) {
    static const char* const kFromC0[64] = {
        "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I",  "I",
        "D", "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "TH", "ss",
        "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};
    static const char kAscii[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    switch (byte) {
    case 0x8A:
        return "S";
    case 0x8C:
        return "OE";
    case 0x8E:
        return "Z";
    case 0x9A:
        return "s";
    case 0x9C:
        return "oe";
    case 0x9E:
        return "z";
    case 0x9F:
        return "Y";
    default:
        break;
    }
    if (byte >= 0xC0) {
        return kFromC0[byte - 0xC0];
    }
    const char* ascii = byte != 0 ? strchr(kAscii, byte) : nullptr;
    return ascii != nullptr ? std::string_view(ascii, 1) : std::string_view();
}

std::string describeCodepoint(uint32_t codepoint) {
    char hex[16];
    snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codepoint));
    std::string text = hex;
    if (codepoint >= 0x20 && codepoint != 0x7F && !(codepoint >= 0x80 && codepoint < 0xA0)) {
        text += " '";
        appendUtf8(&text, codepoint);
        text += "'";
    }
    return text;
}

std::string describeCp1252Error(const Cp1252Error& error) {
    if (error.invalidUtf8) {
        char byte[16];
        snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(error.codepoint));
        return tr("character {position} is not valid UTF-8 (byte {byte}); save the text as UTF-8",
                  {{"position", error.position}, {"byte", byte}});
    }
    return tr("character {position} {character} has no Windows-1252 equivalent; replace it with "
              "a Latin-1 letter or drop it",
              {{"position", error.position}, {"character", describeCodepoint(error.codepoint)}});
}
