// Quizzes as authors make them: the sample descriptions built by quizpack, on Linux at
// build time and by the Windows quizpack.exe here, started as a player would start them.
#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/running_player_win.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"

using namespace test_support;

namespace {

const char* const kSamples[] = {"text", "text-duo", "picture", "audio", "video"};

// The `title` of a sample description in Windows-1252, as the player shows it. The samples
// write it on one line as title = "...", without escapes.
std::string sampleTitle(const std::string& sample) {
    std::string toml = readFile(sourcePath("samples/" + sample + "/quiz.toml"));
    const std::string key = "\ntitle = \"";
    size_t start = toml.find(key);
    if (start == std::string::npos) {
        return "<no title in the description>";
    }
    start += key.size();
    std::string utf8 = toml.substr(start, toml.find('"', start) - start);
    wchar_t wide[512] = L"";
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, 512);
    char cp1252[512] = "";
    WideCharToMultiByte(1252, 0, wide, n, cp1252, sizeof cp1252, nullptr, nullptr);
    return cp1252;
}

// Windows-1252 text as UTF-8, and back, as quizpack's files and output have it.
std::string recode(const std::string& text, UINT from, UINT to) {
    wchar_t wide[1024] = L"";
    int n = MultiByteToWideChar(from, 0, text.c_str(), -1, wide, 1024);
    char out[2048] = "";
    WideCharToMultiByte(to, 0, wide, n, out, sizeof out, nullptr, nullptr);
    return out;
}

// The samples built on Linux at build time.
std::string builtSample(const std::string& sample) {
    std::string player = playerPath();
    return player.substr(0, player.find_last_of('\\')) + "\\samples\\" + sample + ".exe";
}

// What a player sees first: the quiz's title as the window caption and in the header, and a
// board. Closing it ends the program normally.
void expectStartsWithTitle(const std::string& exe, const TempFolder& folder,
                           const std::string& title) {
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.main(), nullptr) << exe << ": no main window";
    EXPECT_EQ(textOf(player.main()), title) << exe;
    bool inHeader = false;
    for (HWND child = GetWindow(player.main(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        inHeader = inHeader || textOf(child) == title;
    }
    EXPECT_TRUE(inHeader) << exe << ": the header does not show the title";
    EXPECT_NE(player.board(), nullptr) << exe << ": no board shown";
    EXPECT_EQ(player.close(), 0) << exe;
}

TEST(AuthoredQuiz, EverySampleBuiltOnLinuxStartsWithItsTitle) {
    for (const char* sample : kSamples) {
        TempFolder folder(std::string("sample_") + sample);
        std::string exe = folder.file(std::string(sample) + ".exe");
        ASSERT_TRUE(CopyFileA(builtSample(sample).c_str(), exe.c_str(), FALSE))
            << sample << ": the build made no executable of it";
        expectStartsWithTitle(exe, folder, sampleTitle(sample));
    }
}

// The Windows quizpack.exe carries the player inside itself: given nothing but a
// description, it makes the same quiz as the Linux build, and the quiz starts.
TEST(AuthoredQuiz, WindowsQuizpackBuildsTheSameQuizThatStarts) {
    const struct {
        const char* sample;
        int questions;
        bool revealPictures;
    } cases[] = {
        // clang-format off
        {"picture", 9, true},
        {"audio", 6, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        TempFolder folder(std::string("quizpack_") + c.sample);
        std::string exe = folder.file(std::string(c.sample) + ".exe");
        ProgramRun built = runQuizpack(
            {"build", sourcePath(std::string("samples/") + c.sample + "/quiz.toml"), "-o", exe}, "",
            folder.path(), 120000);
        ASSERT_EQ(built.exitCode, 0) << c.sample << ":\n" << built.out << built.err;
        EXPECT_EQ(folder.names(), std::vector<std::string>{std::string(c.sample) + ".exe"})
            << c.sample << ": only the executable is written";
        std::vector<std::pair<const char*, int>> resources = {{"PATCH", IDR_QUIZ_PACKAGE},
                                                              {"PATCH", IDR_CODE_TABLE}};
        for (int q = 1; q <= c.questions; ++q) {
            resources.push_back({"IMG", questionMediaId(q)});
            if (c.revealPictures) {
                resources.push_back({"IMG", revealPictureId(q)});
            }
        }
        {
            ExecutableData ours(exe);
            ExecutableData linuxBuilt(builtSample(c.sample));
            for (const auto& r : resources) {
                std::string bytes = ours.resource(r.first, r.second);
                EXPECT_NE(bytes, "") << c.sample << ": " << r.first << " " << r.second;
                EXPECT_TRUE(bytes == linuxBuilt.resource(r.first, r.second))
                    << c.sample << ": " << r.first << " " << r.second
                    << " differs from the Linux build's";
            }
        }
        expectStartsWithTitle(exe, folder, sampleTitle(c.sample));
    }
}

// Answers typed into the running player get the verdicts `quizpack grade --quiz` gives for
// the same quiz: one with accepted forms, every tolerance and its own link, and the picture
// sample, which has none of them and grades exactly. Blanks around a right answer reveal.
TEST(AuthoredQuiz, PlayerGradesAsQuizpackGradeQuizSays) {
    TempFolder folder("forms");
    const std::string forms = folder.file("forms.exe");
    ProgramRun built = runQuizpack({"build", sourcePath("tests/data/forms/quiz.toml"), "-o", forms},
                                   "", folder.path(), 120000);
    ASSERT_EQ(built.exitCode, 0) << built.out << built.err;
    const std::string picture = folder.file("picture.exe");
    ASSERT_TRUE(CopyFileA(builtSample("picture").c_str(), picture.c_str(), FALSE));
    const struct {
        std::string exe;
        std::vector<std::pair<int, std::string>> typed; // Windows-1252
        std::vector<std::string> verdicts;
        const char* score;
        const char* code;
        std::string reveal1;
        const char* link;
    } cases[] = {
        {forms,
         {{1, " de gaulle "},
          {2, "PALAIS DE L\x92"
              "ELYSEE"},
          {3, "oeuvres"}},
         {"BRAVO", "BRAVO", "Quasiment"},
         " 2 / 3",
         "Deux",
         "L'appel du 18 juin.",
         "https://ex.fr/"},
        {picture,
         {{1, " france "}, {2, "JAPON"}, {3, "allemagn\xE9"}},
         {"BRAVO", "BRAVO", "Quasiment"},
         " 2 / 9",
         "Gomme",
         "Le drapeau bleu, blanc, rouge est n\xE9 pendant la R\xE9volution fran\xE7"
         "aise.",
         "http://quizz.fr"},
    };
    for (const auto& c : cases) {
        std::string lines;
        for (const auto& row : c.typed) {
            lines += std::to_string(row.first) + "\t" + recode(row.second, 1252, CP_UTF8) + "\n";
        }
        writeFile(folder.file("typed.tsv"), lines);
        ProgramRun graded =
            runQuizpack({"grade", "--quiz", c.exe, "--tsv", folder.file("typed.tsv")}, "",
                        folder.path(), 60000);
        ASSERT_EQ(graded.exitCode, 0) << c.exe << ": " << graded.err;
        std::string want;
        for (const std::string& v : c.verdicts) {
            want += v + "\n";
        }
        std::string got = recode(graded.out, CP_UTF8, 1252);
        got.erase(std::remove(got.begin(), got.end(), '\r'), got.end());
        EXPECT_EQ(got, want) << c.exe;

        RunningPlayer player(c.exe, folder.path());
        ASSERT_NE(player.board(), nullptr) << c.exe;
        for (size_t i = 0; i < c.typed.size(); ++i) {
            const int k = c.typed[i].first;
            player.type(k, c.typed[i].second, i + 1 < c.typed.size() ? c.typed[i + 1].first : 1);
            EXPECT_EQ(player.waitForBoardText(5000 + k, c.verdicts[i]), c.verdicts[i])
                << c.exe << ", field " << k;
        }
        EXPECT_EQ(player.mainText(ID_SCORE_BOX), c.score) << c.exe;
        EXPECT_EQ(player.mainText(ID_CODE_BOX), c.code) << c.exe;
        EXPECT_EQ(player.boardText(8001), c.reveal1) << c.exe;
        EXPECT_EQ(player.mainText(ID_WEB_LINK), c.link) << c.exe;
        EXPECT_EQ(player.close(), 0) << c.exe;
    }
}

// The audio sample as a player tries it: the first question's clip is written and plays
// (the hidden MCI window's position moves on), and the stop button ends it and removes the
// file.
TEST(AuthoredQuiz, AudioSamplePlaysAndStops) {
    TempFolder folder("sample_audio_play");
    std::string exe = folder.file("audio.exe");
    ASSERT_TRUE(CopyFileA(builtSample("audio").c_str(), exe.c_str(), FALSE));
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    player.click(6001);
    std::vector<HWND> windows = player.mciWindows();
    ASSERT_EQ(windows.size(), 1u) << "one MCI window while a clip plays";
    EXPECT_FALSE(IsWindowVisible(windows[0]));
    EXPECT_EQ(readFile(folder.file("quizz.mp3")),
              readFile(sourcePath("samples/audio/media/q01.mp3")));
    // MCIWNDM_GETPOSITION carries no pointer, so it can be asked across processes.
    auto position = [&] {
        DWORD_PTR at = 0;
        SendMessageTimeoutA(windows[0], MCIWNDM_GETPOSITION, 0, 0, SMTO_ABORTIFHUNG, 5000, &at);
        return static_cast<long>(at);
    };
    long first = 0;
    for (int i = 0; i < 100 && (first = position()) <= 0; ++i) {
        Sleep(50);
    }
    long later = first;
    for (int i = 0; i < 100 && (later = position()) < first + 300; ++i) {
        Sleep(50);
    }
    EXPECT_GE(later, first + 300) << "the clip does not play: its position stays at " << later;
    player.click(7001);
    EXPECT_EQ(player.mciWindows(), std::vector<HWND>{}) << "stop leaves the MCI window";
    EXPECT_FALSE(fileExists(folder.file("quizz.mp3"))) << "stop leaves the clip's file";
    EXPECT_EQ(player.close(), 0);
}

} // namespace
