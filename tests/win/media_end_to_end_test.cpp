// Audio and video quiz executables made from the real quizplayer.exe with real clips,
// started as separate processes and played as a player would: the clip files appear in the
// working directory, the clips play, and closing the window, even mid-clip, ends the
// program normally and leaves no clip file behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "content/quiz.h"
#include "quiz_process_support.h"
#include "resources/resource.h"

namespace {

using namespace quiz_process;

// Question q expects "A<q>"; clip 400 + q is this program's "IMG" resource clips[q - 1],
// or missing where that is 0.
std::string buildQuiz(const std::string& path, int quizType, const std::vector<int>& clips) {
    Quiz* quiz = static_cast<Quiz*>(calloc(1, sizeof(Quiz)));
    initQuiz(quiz);
    quiz->quizType = quizType;
    quiz->answersPerQuestion = 1;
    copyText(quiz->title, "Clips");
    std::vector<std::pair<int, Bytes>> images;
    for (size_t q = 1; q <= clips.size(); ++q) {
        appendQuestion(quiz, ("A" + std::to_string(q)).c_str(), "", "");
        snprintf(quiz->codes[q - 1], kTextCapacity, "CODE%zu", q);
        if (clips[q - 1] != 0) {
            images.emplace_back(questionMediaId(static_cast<int>(q)), ownImage(clips[q - 1]));
        }
    }
    quiz->questionCount = static_cast<int>(clips.size());
    std::string problem = writeQuizExecutable(path, *quiz, images);
    freeQuestions(quiz);
    free(quiz);
    return problem;
}

bool waitFor(bool (*done)(const void*), const void* context, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (done(context)) {
            return true;
        }
        Sleep(50);
    }
    return done(context);
}

struct FileWait {
    std::string name;
    Bytes bytes;
};

bool fileHolds(const void* context) {
    const FileWait* wait = static_cast<const FileWait*>(context);
    std::string now = readFile(wait->name);
    return Bytes(now.begin(), now.end()) == wait->bytes;
}

TEST(MediaEndToEnd, AudioQuizPlaysAndClosesMidClip) {
    Folder folder("audio");
    std::string exe = folder.file("ecoute.exe");
    ASSERT_EQ(buildQuiz(exe, QUIZ_AUDIO, {401, 402}), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    const int order[] = {1, 2, 1};
    for (int q : order) {
        player.click(playButtonId(q));
        FileWait wait = {folder.file("quizz.mp3"), ownImage(questionMediaId(q))};
        EXPECT_TRUE(waitFor(fileHolds, &wait, 5000)) << "question " << q;
        std::vector<HWND> windows = player.mciWindows();
        ASSERT_EQ(windows.size(), 1u) << "question " << q;
        EXPECT_FALSE(IsWindowVisible(windows[0])) << "question " << q;
    }
    // Closed while question 1 still plays: the clip's file must not be left behind.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.files("quizz*"), std::vector<std::string>{});
    EXPECT_EQ(folder.files("*.txt"), std::vector<std::string>{"ecoute.txt"});
}

TEST(MediaEndToEnd, VideoQuizPlaysTwoClipsAndEndsCleanly) {
    Folder folder("video");
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
    } plays[] = {{1, 501}, {2, 502}};
    for (const auto& p : plays) {
        player.click(playButtonId(p.question));
        FileWait wait = {folder.file("quizz" + std::to_string(p.question) + ".avi"),
                         ownImage(p.clip)};
        EXPECT_TRUE(waitFor(fileHolds, &wait, 5000)) << "question " << p.question;
    }
    player.click(7003);
    player.click(6001);
    // Closed with a film playing and the other players loaded: the clips go, the players go
    // before COM, and the program ends normally.
    EXPECT_EQ(player.close(), 0);
    EXPECT_EQ(folder.files("quizz*"), std::vector<std::string>{});
}

// The real message box, not a recorder: a play on a question without its clip shows it with
// no owner, the caption "Information" and an OK button; once it is closed the quiz carries on.
TEST(MediaEndToEnd, MissingClipShowsItsMessageBoxAndTheQuizGoesOn) {
    Folder folder("missing_clip");
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
        box = topLevelWindowOf(player.processId(), "#32770", true);
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
    FileWait wait = {folder.file("quizz.mp3"), ownImage(401)};
    EXPECT_TRUE(waitFor(fileHolds, &wait, 5000)) << "question 1 still plays";
    EXPECT_EQ(player.close(), 0);
}

} // namespace
