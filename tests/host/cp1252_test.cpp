// Tests of the UTF-8 <-> Windows-1252 conversion of quizpack (quizpack/common/cp1252.h).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "quizpack/common/cp1252.h"

namespace {

std::string hexOf(const std::string& bytes) {
    std::string out;
    char hex[4];
    for (unsigned char c : bytes) {
        snprintf(hex, sizeof hex, "%02X ", c);
        out += hex;
    }
    return out;
}

TEST(Cp1252, EveryByteRoundTripsAlone) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1252ToUtf8(byte);
        std::string back;
        Cp1252Error error;
        ASSERT_TRUE(utf8ToCp1252(utf8, &back, &error))
            << "byte " << b << " -> " << hexOf(utf8) << ": " << describeCp1252Error(error);
        EXPECT_EQ(back, byte) << "byte " << b;
    }
}

TEST(Cp1252, AllBytesRoundTripInOneText) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = cp1252ToUtf8(all);
    std::string back;
    Cp1252Error error;
    ASSERT_TRUE(utf8ToCp1252(utf8, &back, &error)) << describeCp1252Error(error);
    EXPECT_EQ(back, all);
}

struct Mapping {
    unsigned char byte;
    std::string utf8;
};

TEST(Cp1252, KnownCharacters) {
    const std::vector<Mapping> rows = {
        {0x41, "A"},
        {0x7C, "|"},
        {0x80, "\xE2\x82\xAC"}, // €
        {0x81, "\xC2\x81"},     // undefined byte: the C1 control of the same value
        {0x8C, "\xC5\x92"},     // Œ
        {0x92, "\xE2\x80\x99"}, // ’
        {0x9C, "\xC5\x93"},     // œ
        {0x9F, "\xC5\xB8"},     // Ÿ
        {0xA0, "\xC2\xA0"},     // no-break space
        {0xC9, "\xC3\x89"},     // É
        {0xE9, "\xC3\xA9"},     // é
        {0xFF, "\xC3\xBF"},     // ÿ
    };
    for (const Mapping& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.byte));
        EXPECT_EQ(cp1252ToUtf8(std::string(1, static_cast<char>(row.byte))), row.utf8);
        std::string back;
        Cp1252Error error;
        ASSERT_TRUE(utf8ToCp1252(row.utf8, &back, &error));
        EXPECT_EQ(back, std::string(1, static_cast<char>(row.byte)));
    }
    std::string verdict;
    Cp1252Error error;
    ASSERT_TRUE(utf8ToCp1252("yade lid\xC3\xA9"
                             "e",
                             &verdict, &error));
    EXPECT_EQ(verdict, "yade lid\xE9"
                       "e");
    EXPECT_EQ(cp1252ToUtf8("yade lid\xE9"
                           "e"),
              "yade lid\xC3\xA9"
              "e");
    EXPECT_EQ(cp1252ToUtf8(""), "");
    ASSERT_TRUE(utf8ToCp1252("", &verdict, &error));
    EXPECT_EQ(verdict, "");
}

struct Missing {
    const char* name;
    std::string utf8;
    size_t position; // 1-based character position
    uint32_t codepoint;
};

TEST(Cp1252, CharactersWindows1252Lacks) {
    const std::vector<Missing> rows = {
        {"L with stroke",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         1, 0x0141}, // Łódź
        {"z with acute after three",
         "L\xC3\xB3"
         "d\xC5\xBA",
         4, 0x017A},                                                              // Lódź
        {"o double acute", "Erd\xC5\x91s", 4, 0x0151},                            // Erdős
        {"greek alpha after accents", "\xC3\xA9\xE2\x82\xAC\xCE\xB1", 3, 0x03B1}, // é€α
        {"emoji", "ok \xF0\x9F\x98\x80", 4, 0x1F600},
        {"C1 control U+0080", "a\xC2\x80", 2, 0x0080},
        {"C1 control U+009E", "\xC2\x9E", 1, 0x009E},
        {"CJK", "\xE6\x9D\xB1\xE4\xBA\xAC", 1, 0x6771},
    };
    for (const Missing& row : rows) {
        SCOPED_TRACE(row.name);
        std::string out;
        Cp1252Error error;
        ASSERT_FALSE(utf8ToCp1252(row.utf8, &out, &error));
        EXPECT_FALSE(error.invalidUtf8);
        EXPECT_EQ(error.position, row.position);
        EXPECT_EQ(error.codepoint, row.codepoint);
        const std::string message = describeCp1252Error(error);
        EXPECT_NE(message.find("character " + std::to_string(row.position)), std::string::npos)
            << message;
        char code[16];
        snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(row.codepoint));
        EXPECT_NE(message.find(code), std::string::npos) << message;
        EXPECT_NE(message.find("Windows-1252"), std::string::npos) << message;
    }
}

TEST(Cp1252, MessageShowsPrintableCharacterOnly) {
    EXPECT_EQ(describeCodepoint(0x0141), "U+0141 '\xC5\x81'");
    EXPECT_EQ(describeCodepoint(0x1F600), "U+1F600 '\xF0\x9F\x98\x80'");
    EXPECT_EQ(describeCodepoint(0x0080), "U+0080"); // a control: no character shown
    EXPECT_EQ(describeCodepoint(0x0009), "U+0009");
}

struct Invalid {
    const char* name;
    std::string utf8;
    size_t position;
    unsigned char byte; // the byte where the bad sequence begins
};

TEST(Cp1252, InvalidUtf8) {
    const std::vector<Invalid> rows = {
        {"Latin-1 byte", "caf\xE9", 4, 0xE9},
        {"byte FF", "\xFF", 1, 0xFF},
        {"lone continuation",
         "a\x80"
         "b",
         2, 0x80},
        {"cut at the end", "ab\xC3", 3, 0xC3},
        {"three-byte cut at the end", "\xC3\xA9\xE2\x82", 2, 0xE2},
        {"bad continuation", "\xC3\x41", 1, 0xC3},
        {"overlong slash", "x\xC0\xAF", 2, 0xC0},
        {"overlong three bytes", "\xE0\x80\xAF", 1, 0xE0},
        {"surrogate", "\xED\xA0\x80", 1, 0xED},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 1, 0xF4},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", 1, 0xF8},
        {"after accented characters", "\xC3\xA9t\xC3\xA9 \xFE", 5, 0xFE},
    };
    for (const Invalid& row : rows) {
        SCOPED_TRACE(row.name);
        std::string out;
        Cp1252Error error;
        ASSERT_FALSE(utf8ToCp1252(row.utf8, &out, &error));
        EXPECT_TRUE(error.invalidUtf8);
        EXPECT_EQ(error.position, row.position);
        EXPECT_EQ(error.codepoint, row.byte);
        const std::string message = describeCp1252Error(error);
        EXPECT_NE(message.find("character " + std::to_string(row.position)), std::string::npos)
            << message;
        EXPECT_NE(message.find("not valid UTF-8"), std::string::npos) << message;
        char byte[8];
        snprintf(byte, sizeof byte, "0x%02X", row.byte);
        EXPECT_NE(message.find(byte), std::string::npos) << message;
    }
}

TEST(Cp1252, LongestValidSequences) {
    std::string out;
    Cp1252Error error;
    // U+10FFFF is valid UTF-8 but not in Windows-1252; the error is "missing", not "invalid".
    ASSERT_FALSE(utf8ToCp1252("\xF4\x8F\xBF\xBF", &out, &error));
    EXPECT_FALSE(error.invalidUtf8);
    EXPECT_EQ(error.codepoint, 0x10FFFFu);
    // U+00FF, the last Latin-1 character, and U+2122, the last table entry by value.
    ASSERT_TRUE(utf8ToCp1252("\xC3\xBF\xE2\x84\xA2", &out, &error));
    EXPECT_EQ(out, "\xFF\x99");
}

} // namespace
