// Tests of `quizpack encode` and `quizpack decode`, run as a user runs them: the real
// binary (QUIZPACK_PATH) on files, checking the bytes written, the exit codes, the
// messages, and that a failure leaves no output file behind.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"

using namespace test_support;

namespace {

using Names = std::vector<std::string>;

Bytes randomBytes(size_t size, uint64_t seed) {
    std::mt19937_64 random(seed);
    Bytes out(size);
    for (uint8_t& b : out) {
        b = static_cast<uint8_t>(random());
    }
    return out;
}

Bytes frenchLike(size_t size) {
    const std::string words[] = {"Quelle ",    "est ",       "la ", "capitale ",
                                 "du ",        "Qu\351bec ", "? ",  "r\351ponse ",
                                 "\351t\351 ", "for\352t ",  "\r\n"};
    std::mt19937_64 random(size);
    Bytes out;
    while (out.size() < size) {
        const std::string& w = words[random() % 11];
        out.insert(out.end(), w.begin(), w.end());
    }
    out.resize(size);
    return out;
}

Bytes libraryEncode(const Bytes& plain) {
    uint8_t* out = nullptr;
    int32_t length = 0;
    EXPECT_EQ(lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length), LZW_OK);
    Bytes packed(out, out + length);
    lzwFreeBuffer(out);
    return packed;
}

TEST(CodecCommand, EncodeWritesTheExactStreamAndDecodeInvertsIt) {
    struct Row {
        const char* what;
        Bytes plain;
    };
    const Row rows[] = {
        {"abc", asBytes("abc")},
        {"aaaa", asBytes("aaaa")},
        {"one byte", asBytes("a")},
        {"65535 bytes of text", frenchLike(65535)},
        {"40000 random bytes", randomBytes(40000, 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder ws("codec");
        writeBytes(ws / "plain", row.plain);
        const ProgramRun packed = runQuizpack({"encode", ws.file("plain"), ws.file("packed")});
        EXPECT_EQ(packed.exitCode, 0) << packed.err;
        EXPECT_EQ(packed.err, "");
        EXPECT_EQ(readBytes(ws / "packed"), libraryEncode(row.plain));
        const ProgramRun unpacked = runQuizpack({"decode", ws.file("packed"), ws.file("again")});
        EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err;
        EXPECT_EQ(readBytes(ws / "again"), row.plain);
        EXPECT_EQ(ws.names(), (Names{"again", "packed", "plain"}));
    }
}

TEST(CodecCommand, KnownStreamsByteForByte) {
    TempFolder ws("codec");
    writeBytes(ws / "abc", asBytes("abc"));
    ASSERT_EQ(runQuizpack({"encode", ws.file("abc"), ws.file("abc.lzw")}).exitCode, 0);
    EXPECT_EQ(readBytes(ws / "abc.lzw"), (Bytes{0x30, 0x98, 0x8C, 0x70, 0x00}));
    // Spare bytes after the stream are ignored.
    writeBytes(ws / "tail.lzw", {0x30, 0xC0, 0xCC, 0x30, 0x00, 0xEE, 0xFF});
    ASSERT_EQ(runQuizpack({"decode", ws.file("tail.lzw"), ws.file("aaaa")}).exitCode, 0);
    EXPECT_EQ(readBytes(ws / "aaaa"), asBytes("aaaa"));
}

TEST(CodecCommand, CodecFailuresNameTheResultAndLeaveNoFile) {
    struct Row {
        const char* what;
        const char* command;
        Bytes input;
        const char* result;
    };
    const Row rows[] = {
        {"empty input to encode", "encode", {}, "LZW_NO_INPUT"},
        {"empty input to decode", "decode", {}, "LZW_NO_INPUT"},
        {"code above the next code", "decode", {0x30, 0xFF, 0xFF, 0xFF}, "LZW_BAD_CODE"},
        {"stream cut before its end", "decode", {0x30, 0x98, 0x8C}, "LZW_BAD_CODE"},
        {"random data too large to pack", "encode", randomBytes(65535, 9), "LZW_TOO_LARGE"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder ws("codec");
        writeBytes(ws / "in", row.input);
        const ProgramRun run = runQuizpack({row.command, ws.file("in"), ws.file("out")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(row.result), std::string::npos) << run.err;
        EXPECT_EQ(ws.names(), Names{"in"}) << "an output was left behind";
    }
}

TEST(CodecCommand, AFailureLeavesAnExistingOutputUntouched) {
    TempFolder ws("codec");
    writeBytes(ws / "bad.lzw", {0x30, 0x98});
    writeBytes(ws / "out", asBytes("earlier result"));
    const ProgramRun run = runQuizpack({"decode", ws.file("bad.lzw"), ws.file("out")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(readBytes(ws / "out"), asBytes("earlier result"));
    EXPECT_EQ(ws.names(), (Names{"bad.lzw", "out"}));
}

TEST(CodecCommand, BadInputAndUsageExitWith2) {
    TempFolder ws("codec");
    writeBytes(ws / "big", Bytes(65536, 'x'));
    writeBytes(ws / "small", asBytes("abc"));
    struct Row {
        const char* what;
        std::vector<std::string> args;
        const char* message; // a part of what stderr must say
    };
    const Row rows[] = {
        {"input over 65535 bytes (encode)", {"encode", ws.file("big"), ws.file("out")}, "65535"},
        {"input over 65535 bytes (decode)", {"decode", ws.file("big"), ws.file("out")}, "65535"},
        {"missing input", {"encode", ws.file("none"), ws.file("out")}, "no such file"},
        {"input is a folder", {"decode", ws.file(""), ws.file("out")}, "not a regular file"},
        {"output folder missing", {"encode", ws.file("small"), ws.file("no/out")}, "cannot create"},
        {"no arguments", {"encode"}, "usage: quizpack encode IN OUT"},
        {"one argument", {"decode", ws.file("small")}, "usage: quizpack decode IN OUT"},
        {"three arguments", {"encode", ws.file("small"), ws.file("out"), ws.file("more")}, "usage"},
        {"unknown option",
         {"decode", "--fast", ws.file("small"), ws.file("out")},
         "unknown option '--fast'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const ProgramRun run = runQuizpack(row.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(ws.names(), (Names{"big", "small"}));
    }
}

TEST(CodecCommand, HelpDescribesEachCommand) {
    for (const char* command : {"encode", "decode"}) {
        SCOPED_TRACE(command);
        const ProgramRun run = runQuizpack({command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find(std::string("usage: quizpack ") + command + " IN OUT"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Exit codes"), std::string::npos);
    }
    const ProgramRun all = runQuizpack({"--help"});
    EXPECT_NE(all.out.find("quizpack encode IN OUT"), std::string::npos);
    EXPECT_NE(all.out.find("quizpack decode IN OUT"), std::string::npos);
}

} // namespace
