// The grader compiled to WebAssembly, called through the web page's own scripts under Node,
// gives the native grader's verdict on every randomized pair of the grader's reference test
// (same generator, same seed handling: QUIZZ_GRADER_SEED replays a run).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "checking/grader.h"
#include "grader_pairs.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "quizpack/common/cp1252.h"

namespace {

using namespace grader_pairs;

void appendText(std::string* out, const std::string& text) {
    uint32_t n = static_cast<uint32_t>(text.size());
    for (int i = 0; i < 4; ++i) {
        *out += static_cast<char>((n >> (8 * i)) & 0xFF);
    }
    *out += text;
}

TEST(WasmGrader, AgreesWithTheNativeGraderOnTheRandomizedPairs) {
    const uint64_t seed = graderSeed();
    const uint64_t pairs = graderPairCount();
    std::cout << "[ wasm    ] seed " << seed << " (replay with QUIZZ_GRADER_SEED=" << seed << "), "
              << pairs << " pairs" << std::endl;
    test_support::TempFolder dir("wasm-grader");
    PairGenerator gen(seed);
    std::string file;
    std::vector<std::string> texts;
    std::vector<std::string> native;
    for (uint64_t n = 0; n < pairs; ++n) {
        auto pair = gen.pair(gen.kindOfPair(n));
        appendText(&file, pair.first);
        appendText(&file, pair.second);
        native.push_back(cp1252ToUtf8(gradeText(pair.first.c_str(), pair.second.c_str())));
        texts.push_back(pair.first + " / " + pair.second);
    }
    test_support::writeFile(dir / "pairs.bin", file);
    const test_support::ProgramRun node = test_support::runProgram(
        {QUIZZ_NODE, QUIZZ_SOURCE_DIR "/tests/web/wasm_grader_node.js", QUIZZ_SOURCE_DIR "/web",
         QUIZZ_GRADER_WASM, (dir / "pairs.bin").string(), (dir / "verdicts.txt").string()});
    ASSERT_EQ(node.exitCode, 0) << node.err;

    std::ifstream in(dir / "verdicts.txt");
    std::vector<std::string> wasm;
    for (std::string line; std::getline(in, line);) {
        wasm.push_back(line);
    }
    ASSERT_EQ(wasm.size(), native.size());
    int failures = 0;
    for (size_t i = 0; i < native.size() && failures < 10; ++i) {
        if (wasm[i] != native[i]) {
            ++failures;
            ADD_FAILURE() << "pair " << i << " (seed " << seed << "): " << cp1252ToUtf8(texts[i])
                          << ": native " << native[i] << ", WebAssembly " << wasm[i];
        }
    }
    std::cout << "[ wasm    ] " << native.size() << " pairs graded alike by both" << std::endl;
}

} // namespace
