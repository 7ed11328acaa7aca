// Tests of `quizpack encode` and `quizpack decode`, run as a user runs them: the real
// binary (QUIZPACK_PATH) on files, checking the bytes written, the exit codes, the
// messages, and that a failure leaves no output file behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "content/lzw.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A fresh folder for one test, removed with everything in it at the end.
class Workspace {
  public:
    Workspace() {
        const char* tmp = getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quizz_codec_XXXXXX";
        if (mkdtemp(&pattern[0]) != nullptr) {
            dir_ = pattern;
        }
    }
    ~Workspace() {
        for (const std::string& name : files()) {
            unlink(path(name).c_str());
        }
        rmdir(dir_.c_str());
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    void write(const std::string& name, const Bytes& bytes) const {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    Bytes read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        const std::string text = s.str();
        return Bytes(text.begin(), text.end());
    }

    // Every name in the folder, temporary files included.
    std::set<std::string> files() const {
        std::set<std::string> names;
        if (DIR* d = opendir(dir_.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..") {
                    names.insert(name);
                }
            }
            closedir(d);
        }
        return names;
    }

    bool ok() const { return !dir_.empty(); }

  private:
    std::string dir_;
};

struct CommandRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs quizpack with `args` (each quoted for the shell); its output goes to files
// outside the workspace so the workspace's listing shows only what quizpack left.
CommandRun runQuizpack(const std::vector<std::string>& args) {
    char outPath[] = "/tmp/quizz_codec_out_XXXXXX";
    char errPath[] = "/tmp/quizz_codec_err_XXXXXX";
    close(mkstemp(outPath));
    close(mkstemp(errPath));
    std::string command = std::string("'") + QUIZPACK_PATH + "'";
    for (const std::string& a : args) {
        command += " '" + a + "'";
    }
    command += std::string(" >'") + outPath + "' 2>'" + errPath + "' </dev/null";
    const int status = std::system(command.c_str());
    CommandRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(outPath),
                   readText(errPath)};
    unlink(outPath);
    unlink(errPath);
    return run;
}

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

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
        {"abc", bytesOf("abc")},
        {"aaaa", bytesOf("aaaa")},
        {"one byte", bytesOf("a")},
        {"65535 bytes of text", frenchLike(65535)},
        {"40000 random bytes", randomBytes(40000, 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Workspace ws;
        ASSERT_TRUE(ws.ok());
        ws.write("plain", row.plain);
        const CommandRun packed = runQuizpack({"encode", ws.path("plain"), ws.path("packed")});
        EXPECT_EQ(packed.exitCode, 0) << packed.err;
        EXPECT_EQ(packed.err, "");
        EXPECT_EQ(ws.read("packed"), libraryEncode(row.plain));
        const CommandRun unpacked = runQuizpack({"decode", ws.path("packed"), ws.path("again")});
        EXPECT_EQ(unpacked.exitCode, 0) << unpacked.err;
        EXPECT_EQ(ws.read("again"), row.plain);
        EXPECT_EQ(ws.files(), (std::set<std::string>{"plain", "packed", "again"}));
    }
}

TEST(CodecCommand, KnownStreamsByteForByte) {
    Workspace ws;
    ASSERT_TRUE(ws.ok());
    ws.write("abc", bytesOf("abc"));
    ASSERT_EQ(runQuizpack({"encode", ws.path("abc"), ws.path("abc.lzw")}).exitCode, 0);
    EXPECT_EQ(ws.read("abc.lzw"), (Bytes{0x30, 0x98, 0x8C, 0x70, 0x00}));
    // Spare bytes after the stream are ignored.
    ws.write("tail.lzw", {0x30, 0xC0, 0xCC, 0x30, 0x00, 0xEE, 0xFF});
    ASSERT_EQ(runQuizpack({"decode", ws.path("tail.lzw"), ws.path("aaaa")}).exitCode, 0);
    EXPECT_EQ(ws.read("aaaa"), bytesOf("aaaa"));
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
        Workspace ws;
        ASSERT_TRUE(ws.ok());
        ws.write("in", row.input);
        const CommandRun run = runQuizpack({row.command, ws.path("in"), ws.path("out")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(row.result), std::string::npos) << run.err;
        EXPECT_EQ(ws.files(), std::set<std::string>{"in"}) << "an output was left behind";
    }
}

TEST(CodecCommand, AFailureLeavesAnExistingOutputUntouched) {
    Workspace ws;
    ASSERT_TRUE(ws.ok());
    ws.write("bad.lzw", {0x30, 0x98});
    ws.write("out", bytesOf("earlier result"));
    const CommandRun run = runQuizpack({"decode", ws.path("bad.lzw"), ws.path("out")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ws.read("out"), bytesOf("earlier result"));
    EXPECT_EQ(ws.files(), (std::set<std::string>{"bad.lzw", "out"}));
}

TEST(CodecCommand, BadInputAndUsageExitWith2) {
    Workspace ws;
    ASSERT_TRUE(ws.ok());
    ws.write("big", Bytes(65536, 'x'));
    ws.write("small", bytesOf("abc"));
    struct Row {
        const char* what;
        std::vector<std::string> args;
        const char* message; // a part of what stderr must say
    };
    const Row rows[] = {
        {"input over 65535 bytes (encode)", {"encode", ws.path("big"), ws.path("out")}, "65535"},
        {"input over 65535 bytes (decode)", {"decode", ws.path("big"), ws.path("out")}, "65535"},
        {"missing input", {"encode", ws.path("none"), ws.path("out")}, "no such file"},
        {"input is a folder", {"decode", ws.path(""), ws.path("out")}, "not a regular file"},
        {"output folder missing", {"encode", ws.path("small"), ws.path("no/out")}, "cannot create"},
        {"no arguments", {"encode"}, "usage: quizpack encode IN OUT"},
        {"one argument", {"decode", ws.path("small")}, "usage: quizpack decode IN OUT"},
        {"three arguments", {"encode", ws.path("small"), ws.path("out"), ws.path("more")}, "usage"},
        {"unknown option",
         {"decode", "--fast", ws.path("small"), ws.path("out")},
         "unknown option '--fast'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const CommandRun run = runQuizpack(row.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
        EXPECT_EQ(ws.files(), (std::set<std::string>{"big", "small"}));
    }
}

TEST(CodecCommand, HelpDescribesEachCommand) {
    for (const char* command : {"encode", "decode"}) {
        SCOPED_TRACE(command);
        const CommandRun run = runQuizpack({command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find(std::string("usage: quizpack ") + command + " IN OUT"),
                  std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("Exit codes"), std::string::npos);
    }
    const CommandRun all = runQuizpack({"--help"});
    EXPECT_NE(all.out.find("quizpack encode IN OUT"), std::string::npos);
    EXPECT_NE(all.out.find("quizpack decode IN OUT"), std::string::npos);
}

} // namespace
