// Files made to hurt quizpack: pictures whose headers lie, descriptions the TOML parser
// would recurse through until its stack runs out, endless streams, input too long to
// echo, a link planted in an extraction folder, and a package larger than the packer's
// limit. Each gets a clear verdict, the same from check and build, and nothing crashes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "content/package.h"
#include "tests/host/authoring_test_support.h"
#include "tests/host/hostile_pictures.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/builder.h"
#include "quizpack/commands/command_shell.h"
#include "quizpack/description/description_screen.h"
#include "quizpack/executable/extractor.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/executable/quiz_reader.h"

namespace {

using namespace authoring_test;
using namespace test_support;
using namespace hostile_pictures;

std::string pictureQuiz(const std::string& picture) {
    return "kind = \"picture\"\n[[question]]\nanswers = [\"a\"]\npicture = \"" + picture + "\"\n";
}

std::string errorsOf(const std::vector<Diagnostic>& diagnostics) {
    std::string s;
    for (const Diagnostic& d : diagnostics) {
        if (d.severity == Severity::Error)
            s += formatDiagnostic(d);
    }
    return s;
}

// What quizpack shows of a built quiz's first picture: its format and size.
std::string storedPicture(const fs::path& exe) {
    QuizReading reading = readQuizExecutable(readBytes(exe), "q.exe");
    if (reading.media.empty())
        return "none";
    const MediaListing& m = reading.media[0];
    return std::string(mediaFormatName(m.format)) + " " + std::to_string(m.pictureSize.width) +
           "x" + std::to_string(m.pictureSize.height);
}

TEST(HostilePictures, CheckAndBuildGiveTheSameVerdict) {
    struct Row {
        const char* name;
        Bytes bytes;
        const char* error;  // in check's and build's message; null: the picture is sound
        const char* stored; // what build stores, for sound pictures
    };
    // clang-format off
    const Row rows[] = {
        {"top-down BMP larger than the box", topDownBmp(400, 300), nullptr, "JPEG 260x195"},
        {"small top-down BMP", topDownBmp(100, 80), nullptr, "BMP 100x80"},
        {"bottom-up BMP", bmpPicture(100, 80), nullptr, "BMP 100x80"},
        {"GIF frame on a larger screen", gifScreen(300, 200), nullptr, "JPEG 260x173"},
        {"BMP header of 16384 x -16384", bmpHeaderOnly(16384, -16384), "at most 67108864 pixels", nullptr},
        {"BMP header of 8000 x -8000", bmpHeaderOnly(8000, -8000), "needs at least 192000054", nullptr},
        {"BMP of 20000 x 1", bmpHeaderOnly(20000, 1), "at most 16384 pixels a side", nullptr},
        {"BMP of height -2147483648", bmpHeaderOnly(1, INT32_MIN), "16384 pixels a side", nullptr},
        {"BMP of width 0", bmpHeaderOnly(0, 5), "no pixels (0x5)", nullptr},
        {"PNG claiming 8000 x 8000", pngClaiming(8000, 8000), "needs at least 248062", nullptr},
        {"JPEG claiming 8000 x 8000", jpegClaiming(8000, 8000), "needs at least 7812", nullptr},
        {"GIF screen of 16000 x 16000", gifScreen(16000, 16000), "at most 67108864 pixels", nullptr},
    };
    // clang-format on
    TempFolder dir("hostile-pictures");
    const fs::path player = dir / "template.exe";
    writeBytes(player, minimalExecutable());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        writeBytes(dir / "picture.bin", row.bytes);
        writeFile(dir / "quiz.toml", pictureQuiz("picture.bin"));
        fs::remove(dir / "q.exe");
        const CheckResult checked = checkDescriptionFile(dir / "quiz.toml");
        const BuildReport built = buildInto(dir / "quiz.toml", dir / "q.exe", player);
        if (row.error == nullptr) {
            EXPECT_TRUE(checked.ok()) << errorsOf(checked.diagnostics);
            ASSERT_TRUE(built.built) << errorsOf(built.diagnostics);
            EXPECT_EQ(storedPicture(dir / "q.exe"), row.stored);
            continue;
        }
        EXPECT_NE(errorsOf(checked.diagnostics).find(row.error), std::string::npos)
            << errorsOf(checked.diagnostics);
        EXPECT_FALSE(built.built);
        EXPECT_NE(errorsOf(built.diagnostics).find(row.error), std::string::npos)
            << errorsOf(built.diagnostics);
        EXPECT_FALSE(fs::exists(dir / "q.exe"));
    }
}

std::string repeated(const std::string& part, size_t times, const std::string& separator) {
    std::string s = part;
    for (size_t i = 1; i < times; ++i)
        s += separator + part;
    return s;
}

TEST(HostileDescriptions, RefusedBeforeTheParserWithTheirLine) {
    const std::string start = "kind = \"text\"\n[[question]]\nanswers = [\"a\"]\n";
    struct Row {
        const char* name;
        std::string text;
        int line;          // of the error; -1: no error
        const char* error; // in its message
    };
    // clang-format off
    const Row rows[] = {
        {"dotted key of 200000 parts", start + repeated("a", 200000, ".") + " = 1\n", 4, "\"a.a.a.a.a.a.a.a.a\" has more than 8 dotted parts"},
        {"table header of 200000 parts", start + "[" + repeated("a", 200000, ".") + "]\n", 4, "more than 8 dotted parts"},
        {"quoted parts with blanks", start + repeated("\"a\"", 9, " . ") + " = 1\n", 4, "more than 8 dotted parts"},
        {"dotted key in an inline table", start + "x = { " + repeated("b", 9, ".") + " = 1 }\n", 4, "more than 8 dotted parts"},
        {"arrays nested 300 deep", start + "x = " + std::string(300, '[') + std::string(300, ']') + "\n", 4, "nested more than 8 deep"},
        {"inline tables nested 300 deep", start + "x = " + repeated("{a=", 300, "") + "1" + std::string(300, '}') + "\n", 4, "nested more than 8 deep"},
        {"arrays nested over lines", start + "x = [\n[\n[\n[\n[\n[\n[\n[\n[\n", 12, "nested more than 8 deep"},
        {"table header without a name", start + "[[$uestion]]\n", 4, "the table header \"[[$uestion]]\" does not begin with a name"},
        {"three brackets", start + "  [[[a]]]\n", 4, "does not begin with a name"},
        {"a bracket at the end of a line", start + "[\n", 4, "does not begin with a name"},
        {"a letter beyond ASCII after a key", start + "ki\xEF\xB4\xBF= 2\n", 4, "the character \"\xEF\xB4\xBF\" stands outside quotes"},
        {"a bare key beyond ASCII", start + "\xC3\xA9 = 1\n", 4, "the character \"\xC3\xA9\" stands outside quotes"},
        {"a letter beyond ASCII in a number", start + "kind =4444\"media\xCC\x8E\"\n", 4, "the character \"\xCC\x8E\" stands outside quotes"},
        {"a letter beyond ASCII in an array", start + "x = [ # list\n  1,\n  true\"\xC3\xA9\" ]\n", 6, "stands outside quotes"},
        {"a brace where an array's value belongs", start + "x = [1, {a = [ # c\n}]}]\n", 5, "a '}' stands where a value belongs"},
        {"a byte that is not UTF-8", start + "x = 1 \xFF\n", 4, "not UTF-8 text: byte 0xFF at column 7"},
        {"a backslash before a letter", start + "text = \"\"\"a\\\xC3\xA9\"\"\"\n", 4, "a backslash before \"\xC3\xA9\" is no escape"},
        {"a backslash and blanks before a letter", start + "text = \"\"\"a\\  \xC3\xA9\"\"\"\n", 4, "is no escape"},
        {"a byte-order mark", "\xEF\xBB\xBF" + start, -1, nullptr},
        {"texts beyond ASCII after keys and in arrays", start + "text = \"\xC3\xA9\" # \xC3\xA9\nreveal_text='\xE2\x82\xAC'\nx = [1, \"\xC3\xA9\", {a = '\xC3\xA9'}]\n", -1, nullptr},
        {"over 1 MB", start + "# " + std::string(kMaxDescriptionBytes, 'x') + "\n", 0, "a quiz description is at most 1.0 MB"},
        {"8 parts, 8 levels", start + repeated("a", 8, ".") + " = " + std::string(8, '[') + std::string(8, ']') + "\n", 4, "unknown key 'a'"},
        {"dots and brackets in strings and comments", start + "text = \"" + repeated("a", 20, ".") + std::string(20, '[') + "\" # " + repeated("b", 20, ".") + "\n", -1, nullptr},
        {"dots and brackets in multi-line strings", start + "text = \"\"\"x\n" + repeated("a", 20, ".") + " \\\"\"\" " + std::string(20, '{') + "\"\"\"\"\nreveal_text = '''\n" + repeated("c", 20, ".") + "''''\n", -1, nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CheckResult result = checkDescriptionText(row.text, "quiz.toml", ".");
        const std::string errors = errorsOf(result.diagnostics);
        if (row.line < 0) {
            EXPECT_TRUE(result.ok()) << errors;
            continue;
        }
        std::string all;
        for (const Diagnostic& d : result.diagnostics)
            all += formatDiagnostic(d);
        const std::string at = row.line > 0 ? "quiz.toml:" + std::to_string(row.line) + ": " : "";
        EXPECT_NE(all.find(at), std::string::npos) << all;
        EXPECT_NE(all.find(row.error), std::string::npos) << all;
        EXPECT_LT(all.size(), 1000u) << "the input is quoted cut short";
    }
}

// A line-ending backslash before a letter beyond ASCII is read as TOML says, with the
// letter kept.
TEST(HostileDescriptions, LineEndingBackslashBeforeAccentedLetters) {
    const std::string text =
        "title = \"\"\"Trouvez \\\n    \xC3\xA9ventuellement, \\\n\n"
        "  \xE2\x82\xAC.\"\"\"\nkind = \"text\"\n[[question]]\nanswers = [\"a\"]\n"
        "text = \"\"\"\\\n\xF0\x9F\x98\x80\"\"\"\n";
    const CheckResult result = checkDescriptionText(text, "quiz.toml", ".");
    EXPECT_EQ(result.description.title, "Trouvez \xE9ventuellement, \x80.");
    // The parser's lines are the file's: the emoji (no Windows-1252 byte) is on line 8.
    EXPECT_NE(errorsOf(result.diagnostics).find("quiz.toml:8: error: question[1].text"),
              std::string::npos)
        << errorsOf(result.diagnostics);
}

// A description file too large is not even read.
TEST(HostileDescriptions, TooLargeAFileIsAnErrorWithExitCode2) {
    TempFolder dir("hostile-large");
    writeFile(dir / "quiz.toml", std::string(kMaxDescriptionBytes + 1, '#'));
    writeFile(dir / "dots.toml", repeated("a", 10000, ".") + " = 1\n");
    for (const char* file : {"quiz.toml", "dots.toml"}) {
        std::string path = (dir / file).string();
        char* argv[] = {const_cast<char*>("quizpack"), const_cast<char*>("check"), &path[0]};
        EXPECT_EQ(runQuizpack(3, argv), kExitBadInput) << file;
    }
    EXPECT_NE(errorsOf(checkDescriptionFile(dir / "quiz.toml").diagnostics)
                  .find("the description is 1.0 MB (1048577 bytes); a quiz description is at "
                        "most 1.0 MB"),
              std::string::npos);
}

// quizpack run by the shell, which gives one row /dev/zero as standard input, bounded in
// time so that a stream that is never left fails the test instead of hanging it.
ProgramRun shell(const std::string& arguments) {
    return runProgram({"/bin/sh", "-c", "exec \"" QUIZPACK_PATH "\" " + arguments}, "", {}, 60000);
}

TEST(HostileStreams, GradeStopsOnALineThatNeverEnds) {
    TempFolder dir("hostile-tsv");
    writeFile(dir / "long.tsv", "a\ta\n" + std::string(70000, 'b') + "\n");
    writeFile(dir / "limit.tsv", "a\ta" + std::string(65536 - 3, 'b') + "\n");
    struct Row {
        const char* name;
        std::string arguments;
        int exitCode;
        const char* out;
        const char* err;
    };
    // clang-format off
    const Row rows[] = {
        {"/dev/zero", "grade --tsv /dev/zero", 2, "", "/dev/zero:1: no line end in 65536 bytes"},
        {"endless standard input", "grade --tsv - </dev/zero", 2, "", "<stdin>:1: no line end in 65536 bytes"},
        {"a line too long after a good one", "grade --tsv \"" + (dir / "long.tsv").string() + "\"", 2, "BRAVO\n", "long.tsv:2: no line end in 65536 bytes"},
        {"a line at the limit", "grade --tsv \"" + (dir / "limit.tsv").string() + "\"", 0, "Trop long\n", ""},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramRun run = shell(row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
        EXPECT_EQ(run.out, row.out);
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
    }
}

TEST(HostileMessages, QuoteLongInputCutShort) {
    TempFolder dir("hostile-echo");
    const std::string huge(500000, 'p');
    // clang-format off
    const std::string descriptions[] = {
        pictureQuiz(huge + ".jpg"),
        "kind = \"text\"\nbackground = \"" + huge + "\"\n",
        "kind = \"text\"\n\"" + huge + "\" = 1\n",
        "kind = \"text\"\n[[question]]\nanswers = [\"a\"]\n" + repeated("\"" + huge.substr(0, 50000) + "\"", 9, ".") + " = 1\n",
    };
    // clang-format on
    for (const std::string& text : descriptions) {
        const CheckResult result = checkDescriptionText(text, "quiz.toml", dir.path());
        std::string all;
        for (const Diagnostic& d : result.diagnostics) {
            const std::string line = formatDiagnostic(d);
            EXPECT_LT(line.size(), 1000u) << line.substr(0, 300);
            all += line;
        }
        EXPECT_NE(all.find("pppp..."), std::string::npos) << all;
        EXPECT_NE(all.find(" bytes)"), std::string::npos) << all;
    }
    const ProgramRun option = shell("check --" + std::string(100000, 'o'));
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_LT(option.err.size(), 1000u);
    EXPECT_NE(option.err.find("unknown option '--oooo"), std::string::npos) << option.err;
    EXPECT_EQ(excerpt("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t... (5 bytes)"); // never half a character
}

TEST(HostileFolders, ExtractNeverFollowsALinkInItsFolder) {
    TempFolder dir("hostile-link");
    writeBytes(dir / "quiz/q.jpg", jpegPicture(50, 40));
    writeFile(dir / "quiz/quiz.toml", pictureQuiz("q.jpg"));
    writeBytes(dir / "template.exe", minimalExecutable());
    ASSERT_TRUE(buildInto(dir / "quiz/quiz.toml", dir / "q.exe", dir / "template.exe").built);
    const QuizReading reading = readQuizExecutable(readBytes(dir / "q.exe"), "q.exe");

    fs::create_directories(dir / "elsewhere");
    fs::create_directories(dir / "out");
    fs::create_directory_symlink(dir / "elsewhere", dir / "out/media");
    EXPECT_THROW(extractQuiz(reading, dir / "out", Overwrite::Allow), ExtractError);
    EXPECT_EQ(listFiles(dir / "elsewhere"), std::vector<std::string>{});
    EXPECT_TRUE(fs::is_symlink(dir / "out/media"));
    EXPECT_FALSE(fs::exists(dir / "out/quiz.toml"));

    // A description that is a link is replaced by the file, the file it named left alone.
    fs::remove(dir / "out/media");
    writeFile(dir / "elsewhere/mine.toml", "mine");
    fs::create_symlink(dir / "elsewhere/mine.toml", dir / "out/quiz.toml");
    extractQuiz(reading, dir / "out", Overwrite::Allow);
    EXPECT_FALSE(fs::is_symlink(dir / "out/quiz.toml"));
    EXPECT_EQ(readBytes(dir / "elsewhere/mine.toml"), (Bytes{'m', 'i', 'n', 'e'}));
}

// Plain LZW with the player's codes (literal bytes, 256 end, 257 widen, 258 reset), greedy
// and unbounded: the only way to make a package larger than quizpack's own packer takes.
Bytes lzwStream(const Bytes& plain) {
    Bytes out;
    uint64_t bits = 0;
    int count = 0;
    auto put = [&](uint32_t code, int width) {
        bits = bits << width | code;
        for (count += width; count >= 8; count -= 8)
            out.push_back(static_cast<uint8_t>(bits >> (count - 8)));
    };
    std::map<std::string, uint32_t> table;
    uint32_t next = 259;
    int width = 9;
    auto write = [&](const std::string& s) {
        const uint32_t code = s.size() == 1 ? static_cast<uint8_t>(s[0]) : table.at(s);
        while (s.size() > 1 && (code >> width) != 0)
            put(257, width++);
        put(code, width);
    };
    std::string current(1, static_cast<char>(plain[0]));
    for (size_t i = 1; i < plain.size(); ++i) {
        const std::string candidate = current + static_cast<char>(plain[i]);
        if (table.count(candidate)) {
            current = candidate;
            continue;
        }
        table[candidate] = next++;
        write(current);
        current.assign(1, static_cast<char>(plain[i]));
        if (next == 4096) {
            put(258, width);
            table.clear();
            table[candidate] = 259;
            next = 260;
            width = 9;
        }
    }
    write(current);
    put(256, width);
    put(0, 7); // the last byte's spare bits
    return out;
}

TEST(HostilePackages, LargerThanThePackerTakesIsReadWithAWarning) {
    QuizPtr quiz = makeEmptyQuiz();
    quiz->quizType = QUIZ_TEXT;
    quiz->answersPerQuestion = 2;
    quiz->revealMode = REVEAL_TEXT;
    const std::string text(259, 'x');
    for (int q = 0; q < kMaxQuestions; ++q) {
        copyText(appendQuestion(quiz.get(), text.c_str(), text.c_str(), text.c_str())->revealText,
                 text.c_str());
    }
    quiz->questionCount = kMaxQuestions;
    const Bytes package = layOutPackage(*quiz);
    ASSERT_GT(package.size(), static_cast<size_t>(kLzwMaxInput));
    ASSERT_LE(package.size(), static_cast<size_t>(kLzwDecodeCapacity));

    const QuizReading reading = readPackedQuiz(lzwStream(package), nullptr, "big");
    EXPECT_EQ(reading.package, package);
    EXPECT_FALSE(reading.malformed);
    std::string warnings;
    for (const std::string& w : reading.warnings)
        warnings += w + "\n";
    EXPECT_NE(warnings.find("cannot be rebuilt until its texts are " +
                            std::to_string(package.size() - kLzwMaxInput) + " bytes shorter"),
              std::string::npos)
        << warnings;
    TempFolder dir("hostile-package");
    EXPECT_NO_THROW(extractQuiz(reading, dir / "out", Overwrite::Refuse));
}

} // namespace
