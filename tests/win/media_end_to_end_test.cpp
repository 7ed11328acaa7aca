// Audio and video quiz executables made from the real quizplayer.exe with real clips,
// started as separate processes and played as a player would: the clip files appear in the
// working directory, the clips play, and closing the window, even mid-clip, ends the
// program normally and leaves no clip file behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/quiz.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/running_player_win.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"
#include "tools/win/process_windows.h"

using namespace test_support;

namespace {

// Question q expects "A<q>"; clip 400 + q is this program's "IMG" resource clips[q - 1],
// or missing where that is 0. The reveal mode is the one a fresh quiz starts with.
std::string buildQuiz(const std::string& path, int quizType, const std::vector<int>& clips) {
    OwnedQuiz quiz(makeNumberedQuiz(quizType, 1, REVEAL_TEXT, static_cast<int>(clips.size())));
    std::vector<ResourceData> images;
    for (size_t q = 1; q <= clips.size(); ++q) {
        if (clips[q - 1] != 0) {
            images.push_back({"IMG", questionMediaId(static_cast<int>(q)),
                              resourceBytes(nullptr, "IMG", clips[q - 1])});
        }
    }
    return writeQuizExecutable(path, *quiz.quiz, images);
}

// Waits until the file `name` holds this program's clip `id`.
bool fileHoldsClip(const std::string& name, int id) {
    std::string clip = resourceBytes(nullptr, "IMG", id);
    return waitFor([&] { return readFile(name) == clip; }, 5000);
}

TEST(MediaEndToEnd, AudioQuizPlaysAndClosesMidClip) {
    TempFolder folder("audio");
    std::string exe = folder.file("ecoute.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_AUDIO, {401, 402}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    const int order[] = {1, 2, 1};
    for (int q : order) {
        player.click(playButtonId(q));
        EXPECT_TRUE(fileHoldsClip(folder.file("quizz.mp3"), questionMediaId(q)))
            << "question " << q;
        std::vector<HWND> windows = player.mciWindows();
        ASSERT_EQ(windows.size(), 1u) << "question " << q;
        EXPECT_FALSE(IsWindowVisible(windows[0])) << "question " << q;
    }
    // Closed while question 1 still plays: the clip's file must not be left behind.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.names("quizz*"), std::vector<std::string>{});
    EXPECT_EQ(folder.names("*.txt"), std::vector<std::string>{"ecoute.txt"});
}

TEST(MediaEndToEnd, VideoQuizPlaysTwoClipsAndEndsCleanly) {
    TempFolder folder("video");
    std::string exe = folder.file("films.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_VIDEO, {501, 502, 501}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    for (int q = 1; q <= 3; ++q) {
        EXPECT_NE(GetDlgItem(player.board(), playerHostId(q)), nullptr) << "host " << q;
        EXPECT_NE(GetDlgItem(player.board(), answerFieldId(q)), nullptr) << "field " << q;
    }
    const struct {
        int question;
        int clip;
    } plays[] = {
        // clang-format off
        {1, 501},
        {2, 502},
        // clang-format on
    };
    for (const auto& p : plays) {
        player.click(playButtonId(p.question));
        EXPECT_TRUE(
            fileHoldsClip(folder.file("quizz" + std::to_string(p.question) + ".avi"), p.clip))
            << "question " << p.question;
    }
    player.click(7003);
    player.click(6001);
    // Closed with a film playing and the other players loaded: the clips go, the players go
    // before COM, and the program ends normally.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.names("quizz*"), std::vector<std::string>{});
}

// The real message box, not a recorder: a play on a question without its clip shows it with
// no owner, the caption "Information" and an OK button; once it is closed the quiz carries on.
TEST(MediaEndToEnd, MissingClipShowsItsMessageBoxAndTheQuizGoesOn) {
    TempFolder folder("missing_clip");
    std::string exe = folder.file("ecoute.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_AUDIO, {401, 0}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    // Posted: the box is modal, and a sent click would wait for it to close.
    PostMessageA(player.board(), WM_COMMAND, MAKEWPARAM(6002, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(player.board(), 6002)));
    HWND box = nullptr;
    for (int i = 0; i < 100 && box == nullptr; ++i) {
        Sleep(50);
        box = process_windows::topLevelWindowOf(player.processId(), "#32770", true);
    }
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(textOf(box), "Information");
    EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), "Impossible de localiser le fichier audio.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has no owner";
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr) << "an OK button";
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr) << "only an OK button";
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    for (int i = 0; i < 100 && IsWindow(box); ++i) {
        Sleep(50);
    }
    EXPECT_FALSE(IsWindow(box)) << "OK closes the box";
    EXPECT_FALSE(fileExists(folder.file("quizz.mp3"))) << "nothing extracted for question 2";
    player.click(6001);
    EXPECT_TRUE(fileHoldsClip(folder.file("quizz.mp3"), 401)) << "question 1 still plays";
    EXPECT_EQ(player.close(), 0);
}

} // namespace
