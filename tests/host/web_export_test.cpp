// quizpack export: a quiz executable exports to the same page as its description (its packed
// resources are the executable's, byte for byte), the page's storage key follows the quiz's
// content, and a failed export writes nothing.
#include <gtest/gtest.h>

#include <string>

#include "authoring_test_support.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/executable/builder.h"
#include "quizpack/page/web_export.h"
#include "quizpack/page/web_page.h"

namespace {

using namespace authoring_test;
using namespace test_support;

std::string sample(const std::string& name) {
    return std::string(QUIZZ_SOURCE_DIR) + "/samples/" + name + "/quiz.toml";
}

// The page's quiz data block: every text, code, key and embedded file's place.
std::string quizData(const fs::path& page) {
    const std::string html = readFile(page);
    const std::string start = "id=\"quiz-data\">";
    size_t from = html.find(start) + start.size();
    return html.substr(from, html.find("</script>", from) - from);
}

ExportReport exportTo(const fs::path& input, const fs::path& output) {
    ExportOptions options;
    options.input = input;
    options.output = output;
    return exportWebPage(options, nullptr, nullptr);
}

class WebExportOfExecutable : public testing::TestWithParam<const char*> {};

TEST_P(WebExportOfExecutable, GivesThePageOfItsDescription) {
    TempFolder dir("web-exe");
    writeBytes(dir / "template.exe", minimalExecutable());
    ASSERT_TRUE(buildInto(sample(GetParam()), dir / "quiz.exe", dir / "template.exe").built);

    ExportReport fromToml = exportTo(sample(GetParam()), dir / "toml.html");
    ExportReport fromExe = exportTo(dir / "quiz.exe", dir / "exe.html");
    ASSERT_TRUE(fromToml.exported && fromExe.exported);
    EXPECT_EQ(fromToml.storageKey, fromExe.storageKey);
    EXPECT_EQ(quizData(dir / "toml.html"), quizData(dir / "exe.html"));
    EXPECT_EQ(fromToml.mediaCount, fromExe.mediaCount);
    EXPECT_TRUE(readFile(dir / "toml.html") == readFile(dir / "exe.html"))
        << "the pages differ beyond their quiz data";
}

INSTANTIATE_TEST_SUITE_P(Samples, WebExportOfExecutable,
                         testing::Values("text", "text-duo", "picture", "audio"));

TEST(WebExport, StorageKeyFollowsTheContent) {
    TempFolder dir("web-key");
    const std::string text = readFile(sample("text"));
    writeFile(dir / "same.toml", text);
    std::string changed = text;
    changed.replace(changed.find("Canberra\"]"), 8, "Sydney");
    writeFile(dir / "changed.toml", changed);
    std::string key = exportTo(sample("text"), dir / "a.html").storageKey;
    EXPECT_EQ(exportTo(dir / "same.toml", dir / "b.html").storageKey, key);
    EXPECT_NE(exportTo(dir / "changed.toml", dir / "c.html").storageKey, key);
}

// quizpack export run as its own process, with `environment` (NAME=VALUE words) set for it.
ProgramRun runExport(const std::vector<std::string>& environment,
                     const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"/usr/bin/env"};
    command.insert(command.end(), environment.begin(), environment.end());
    command.push_back(quizpackPath());
    command.push_back("export");
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runProgram(command);
}

TEST(WebExport, FailuresSayWhatToDoAndLeaveTheOutputAsItWas) {
    TempFolder dir("web-fail");
    writeFile(dir / "bad.toml", "kind = \"text\"\n[[question]]\nanswers = [\"a\\u0141b\"]\n");
    writeBytes(dir / "template.exe", minimalExecutable());
    // clang-format off
    struct Row { std::vector<std::string> environment; std::string input, message; } rows[] = {
        {{"PATH=/nonexistent"}, sample("video"), "apt-get install ffmpeg"},
        {{}, (dir / "bad.toml").string(), "nothing written"},
        {{}, (dir / "template.exe").string(), "PATCH"},
        {{}, (dir / "missing.toml").string(), "missing.toml"},
    };
    // clang-format on
    const std::string earlier = std::string("<!DOCTYPE html>") + kQuizDataMarker + "earlier page";
    for (const Row& r : rows) {
        writeFile(dir / "out.html", earlier);
        ProgramRun run = runExport(r.environment, {r.input, "-o", (dir / "out.html").string()});
        EXPECT_EQ(run.exitCode, 2) << r.input << ": " << run.err;
        EXPECT_NE(run.err.find(r.message), std::string::npos) << r.input << ": " << run.err;
        EXPECT_EQ(readFile(dir / "out.html"), earlier) << r.input;
        EXPECT_EQ(listFiles(dir.path()).size(), 3u) << r.input << ": a file was left behind";
    }
}

} // namespace
