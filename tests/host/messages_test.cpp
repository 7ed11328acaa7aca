// Which language quizpack speaks, chosen on the command line, by QUIZPACK_LANG or by the
// locale, and how a message takes its arguments and its plural forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quizpack/common/file_io.h"
#include "quizpack/common/messages.h"
#include "tests/host/authoring_test_support.h"

namespace {

using authoring_test::ScopedEnvironment;

TEST(Messages, TheLocaleChoosesAsPosixOrdersItsVariables) {
    struct Row {
        const char *lcAll, *lcMessages, *lang;
        Language expected;
    };
    // clang-format off
    const Row rows[] = {
        {nullptr, nullptr, "fr_FR.UTF-8", Language::French},
        {nullptr, "fr_BE", "en_US.UTF-8", Language::French},
        {"", "", "fr_CA", Language::French},          // empty counts as unset
        {"C", nullptr, "fr_FR.UTF-8", Language::English}, // LC_ALL first
        {nullptr, "en_GB", "fr_FR", Language::English},
        {"FR", nullptr, nullptr, Language::French},
        {nullptr, nullptr, nullptr, Language::English},
        {nullptr, nullptr, "C.UTF-8", Language::English},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(languageOfLocale(r.lcAll, r.lcMessages, r.lang), r.expected)
            << (r.lcAll ? r.lcAll : "-") << " " << (r.lcMessages ? r.lcMessages : "-") << " "
            << (r.lang ? r.lang : "-");
    }
}

TEST(Messages, ArgumentsByNameAndPluralFormsByLanguage) {
    struct Row {
        Language language;
        uint64_t n;
        const char* expected;
    };
    const Row rows[] = {
        {Language::English, 0, "0 questions"}, {Language::English, 1, "1 question"},
        {Language::French, 0, "0 question"},   {Language::French, 1, "1 question"},
        {Language::French, 2, "2 questions"},  {Language::French, 1536, "1536 questions"},
    };
    for (const Row& r : rows) {
        setMessageLanguage(r.language);
        EXPECT_EQ(trn("{n} question", "{n} questions", r.n), r.expected);
    }
    // A value is never read again for arguments, whatever braces it holds.
    EXPECT_EQ(tr("{file}: no such file", {{"file", "{file}{{"}}), "{file}{{ : fichier introuvable");
    EXPECT_EQ(formatSize(1536), "1,5 Ko");
    EXPECT_EQ(formatSize(1536, Language::English), "1.5 KB");
    setMessageLanguage(Language::English);
    EXPECT_EQ(tr("{file}: no such file", {{"file", "a.toml"}}), "a.toml: no such file");
}

TEST(Messages, TheCommandLineChoosesBeforeQuizpackLangAndTheLocale) {
    struct Row {
        const char* quizpackLang;
        const char* lcAll;
        std::vector<std::string> args;
        int exitCode;
        const char* said;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {nullptr, "fr_FR.UTF-8", {"check"}, 2, "indiquez un fichier de description"},
        {nullptr, "C", {"check"}, 2, "give one description file"},
        {"fr", "C", {"check"}, 2, "indiquez un fichier de description"},
        {"en", "fr_FR.UTF-8", {"check"}, 2, "give one description file"},
        {"xx", "fr_FR.UTF-8", {"check"}, 2, "indiquez un fichier de description"},
        {"fr", "C", {"--lang", "en", "check"}, 2, "give one description file"},
        {nullptr, "C", {"--lang=fr", "check"}, 2, "indiquez un fichier de description"},
        {nullptr, "C", {"check", "--lang", "fr"}, 2, "indiquez un fichier de description"},
        {nullptr, "C", {"--lang", "de", "check"}, 2, "--lang takes fr or en, not \"de\""},
        {nullptr, "C", {"--lang", "fr", "--version"}, 0, "quizpack "},
    };
    // clang-format on
    for (const Row& r : rows) {
        const ScopedEnvironment choice("QUIZPACK_LANG", r.quizpackLang);
        const ScopedEnvironment locale("LC_ALL", r.lcAll);
        const authoring_test::Output out = authoring_test::runInProcess(r.args);
        EXPECT_EQ(out.exitCode, r.exitCode) << r.said << "\n" << out.text;
        EXPECT_NE(out.text.find(r.said), std::string::npos) << r.said << "\n" << out.text;
    }
    setMessageLanguage(Language::English);
}

} // namespace
