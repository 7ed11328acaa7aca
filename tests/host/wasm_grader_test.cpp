// The grader compiled to WebAssembly, called through the web page's own scripts under Node,
// gives the native grader's verdict on every randomized pair of the grader's reference test,
// and on randomized answers with several accepted forms under every combination of the
// tolerances (same generator, same seed handling: QUIZZ_GRADER_SEED replays a run).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "checking/grader.h"
#include "content/quiz.h"
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

// One case as the Node side reads it, and the native verdict for it.
void appendCase(std::string* file, uint32_t tolerances, const std::vector<std::string>& forms,
                const std::string& typed) {
    *file += static_cast<char>(tolerances);
    *file += static_cast<char>(forms.size());
    for (const std::string& form : forms) {
        appendText(file, form);
    }
    appendText(file, typed);
}

std::string describe(uint32_t tolerances, const std::vector<std::string>& forms,
                     const std::string& typed) {
    std::string text;
    for (const std::string& form : forms) {
        text += (text.empty() ? "" : " | ") + form;
    }
    return text + " / " + typed + " (tolerances " + std::to_string(tolerances) + ")";
}

// Answers with forms are fewer than the plain pairs, each graded 8 times.
constexpr uint64_t kFormsCasesPerPairs = 30;

TEST(WasmGrader, AgreesWithTheNativeGraderOnTheRandomizedPairs) {
    const uint64_t seed = graderSeed();
    const uint64_t pairs = graderPairCount();
    const uint64_t formsCases = pairs / kFormsCasesPerPairs;
    std::cout << "[ wasm    ] seed " << seed << " (replay with QUIZZ_GRADER_SEED=" << seed << "), "
              << pairs << " pairs, " << formsCases << " answers with forms x 8 tolerances"
              << std::endl;
    test_support::TempFolder dir("wasm-grader");
    PairGenerator gen(seed);
    std::string file;
    std::vector<std::string> texts;
    std::vector<std::string> native;
    for (uint64_t n = 0; n < pairs; ++n) {
        auto pair = gen.pair(gen.kindOfPair(n));
        appendCase(&file, 0, {pair.first}, pair.second);
        native.push_back(cp1252ToUtf8(gradeText(pair.first.c_str(), pair.second.c_str())));
        texts.push_back(describe(0, {pair.first}, pair.second));
    }
    for (uint64_t n = 0; n < formsCases; ++n) {
        FormsCase c = gen.formsCase();
        std::vector<const char*> forms;
        for (const std::string& form : c.forms) {
            forms.push_back(form.c_str());
        }
        for (uint32_t tolerances = 0; tolerances <= kAllTolerances; ++tolerances) {
            appendCase(&file, tolerances, c.forms, c.typed);
            native.push_back(cp1252ToUtf8(gradeAnswer(forms.data(), static_cast<int>(forms.size()),
                                                      c.typed.c_str(), tolerances)));
            texts.push_back(describe(tolerances, c.forms, c.typed));
        }
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
            ADD_FAILURE() << "case " << i << " (seed " << seed << "): " << cp1252ToUtf8(texts[i])
                          << ": native " << native[i] << ", WebAssembly " << wasm[i];
        }
    }
    std::cout << "[ wasm    ] " << native.size() << " gradings alike in both" << std::endl;
}

} // namespace
