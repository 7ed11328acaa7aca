// The grader compiled to WebAssembly, called through the web page's own scripts under Node,
// gives the native grader's verdict on every randomized pair of the grader's reference test,
// and on randomized answers with several accepted forms under every combination of the
// tolerances (same generator, same seed handling: QUIZZ_GRADER_SEED replays a run); and the
// page's quiz, read from its packed resources inside the module, is the player's.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "checking/grader.h"
#include "checking/rewards.h"
#include "content/package_loader.h"
#include "content/quiz.h"
#include "grader_pairs.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/quiz_factory.h"
#include "quizpack/common/cp1252.h"
#include "quizpack/executable/packing.h"

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

namespace {

std::string gLoaderMessages;

void collectLoaderMessage(const char* text, const char*) {
    gLoaderMessages += (gLoaderMessages.empty() ? "" : " / ") + std::string(text);
}

// What the page's script must read back from the module: the native loader's messages,
// title and count, then each field's verdict and reveal match, then the codes.
std::vector<std::string> nativeReading(const PackedQuiz& packed, bool codes, bool extras,
                                       const std::vector<std::pair<int, std::string>>& fields) {
    auto patch = [](const std::vector<uint8_t>& bytes, bool present) {
        return PatchBytes{present, bytes.data(), present ? static_cast<int32_t>(bytes.size()) : 0};
    };
    test_support::OwnedQuiz quiz;
    gLoaderMessages.clear();
    loadQuizFromPatches(quiz.quiz, patch(packed.package, true), patch(packed.codeTable, codes),
                        patch(packed.extras, extras), collectLoaderMessage);
    std::vector<std::string> lines = {cp1252ToUtf8(gLoaderMessages), cp1252ToUtf8(quiz->title),
                                      std::to_string(quiz->questionCount)};
    const int per = quiz->answersPerQuestion;
    for (const auto& [k, typed] : fields) {
        const char* forms[kMaxAnswerForms];
        const QuestionNode* node =
            quiz->questionCount > 0 ? questionAt(quiz.quiz, (k - 1) / per) : nullptr;
        const int count = node != nullptr ? answerForms(node, (k - 1) % per + 1, forms) : 0;
        lines.push_back(
            cp1252ToUtf8(gradeAnswer(forms, count, typed.c_str(), quiz->tolerances)) + "\t" +
            (count > 0 && matchesAnyForm(forms, count, typed.c_str(), quiz->tolerances) ? "1"
                                                                                        : "0"));
    }
    for (int s = 1; s <= quiz->questionCount; ++s) {
        lines.push_back(cp1252ToUtf8(codeForScore(quiz.quiz, s)));
    }
    return lines;
}

// The page opens its packed resources inside the WebAssembly module with the player's own
// loader: it reads what the player reads, says what the player says, and grades alike.
TEST(WasmQuiz, ReadsThePackedResourcesAsThePlayerDoes) {
    using namespace test_support;
    OwnedQuiz made(makeNumberedQuiz(QUIZ_TEXT, 2, REVEAL_NOTHING, 3));
    const char* forms[] = {"\xC9lys\xE9"
                           "e",
                           "palais"};
    ASSERT_TRUE(setOtherForms(questionAt(made.quiz, 1), 1, forms, 2));
    made->tolerances = kAllTolerances;
    const PackedQuiz whole = packQuiz(*made.quiz);
    PackedQuiz badExtras = whole;
    badExtras.extras = lzwPack({9, 9, 9});
    PackedQuiz badPackage = whole;
    badPackage.package = {1, 2, 3};
    const std::vector<std::pair<int, std::string>> fields = {{1, "a1"},
                                                             {1, " A1 "},
                                                             {2, "b2"},
                                                             {3, "\xE9lys\xE9"
                                                                 "e"},
                                                             {3, "PALAIS"},
                                                             {3, "a2"},
                                                             {6, "b3"},
                                                             {5, "a"}};
    // clang-format off
    struct Row { const char* what; const PackedQuiz* packed; bool codes, extras; } rows[] = {
        {"the whole quiz", &whole, true, true},
        {"extras that do not read", &badExtras, true, true},
        {"no code table", &whole, false, false},
        {"a package that does not unpack", &badPackage, true, false},
    };
    // clang-format on
    TempFolder dir("wasm-quiz");
    std::string tsv;
    for (const auto& [k, typed] : fields) {
        tsv += std::to_string(k) + "\t" + cp1252ToUtf8(typed) + "\n";
    }
    writeFile(dir / "fields.tsv", tsv);
    for (const Row& r : rows) {
        writeBytes(dir / "package", r.packed->package);
        writeBytes(dir / "codes", r.packed->codeTable);
        writeBytes(dir / "extras", r.packed->extras);
        const ProgramRun node = runProgram(
            {QUIZZ_NODE, QUIZZ_SOURCE_DIR "/tests/web/wasm_quiz_node.js", QUIZZ_SOURCE_DIR "/web",
             QUIZZ_GRADER_WASM, (dir / "package").string(),
             r.codes ? (dir / "codes").string() : "-", r.extras ? (dir / "extras").string() : "-",
             (dir / "fields.tsv").string(), (dir / "out.txt").string()});
        ASSERT_EQ(node.exitCode, 0) << r.what << ": " << node.err;
        std::vector<std::string> wasm;
        std::ifstream in(dir / "out.txt");
        for (std::string line; std::getline(in, line);) {
            wasm.push_back(line);
        }
        EXPECT_EQ(wasm, nativeReading(*r.packed, r.codes, r.extras, fields)) << r.what;
    }
}

} // namespace
