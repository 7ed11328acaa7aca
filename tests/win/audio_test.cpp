// Audio questions on a real board: the clip written from the program's resources, the one
// hidden MCI window that plays it, replaced by the next play and destroyed by any stop, the
// messages for missing clips, and a clip that really plays.
#include <windows.h>
#include <vfw.h>

#include <gtest/gtest.h>

#include "media/audio_win.h"
#include "media/media_extract_win.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/media_win.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"

using namespace test_support;

namespace {

const char kMissingAudio[] = "Impossible de localiser le fichier audio.";
const char kMissingVideo[] = "Impossible de localiser le fichier vid\xE9o.";

// A six-question audio board built in a folder of its own; question 5 has no clip. Whatever
// plays is stopped before the board goes, as the player's shut-down does.
class AudioBoard : public PlayerBoard {
  public:
    AudioBoard() : PlayerBoard(makeNumberedQuiz(QUIZ_AUDIO, 1, REVEAL_NOTHING, 6)) {}
    ~AudioBoard() { stopAudio(g_app.media); }
    MessageLog& log() { return log_; }

  private:
    MessageLog log_;
};

// The bytes of this test program's clip for question q.
std::string clipOf(int q) {
    return resourceBytes(nullptr, "IMG", questionMediaId(q));
}

struct ExtractCase {
    const char* what;
    int resourceId;
    int kind;
    bool blocked; // a folder stands where the file should be written
    int result;
    const char* file; // the file that must hold the clip's bytes; null for none
    std::vector<Message> messages;
};

TEST(Audio, ExtractMediaWritesTheResourceBytes) {
    // clang-format off
    const ExtractCase cases[] = {
        {"audio clip 1", questionMediaId(1), 1, false, 1, "quizz.mp3", {}},
        {"audio clip 6", questionMediaId(6), 1, false, 1, "quizz.mp3", {}},
        {"video kind: a numbered file", questionMediaId(3), 2, false, 1, "quizz3.avi", {}},
        {"missing audio clip", questionMediaId(5), 1, false, 0, nullptr, {{kMissingAudio, "Information"}}},
        {"missing video clip", questionMediaId(5), 2, false, 0, nullptr, {{kMissingVideo, "Information"}}},
        {"file that cannot be created: still done, silently", questionMediaId(2), 1, true, 1, nullptr, {}},
    };
    // clang-format on
    for (const ExtractCase& c : cases) {
        WorkingFolder folder;
        MessageLog log;
        g_app.instance = GetModuleHandleA(nullptr);
        // A longer file of the same name is there already: it must be replaced, not
        // overwritten at its start.
        writeFile("quizz.mp3", std::string(100000, 'x'));
        writeFile("quizz3.avi", std::string(100000, 'x'));
        if (c.blocked) {
            DeleteFileA("quizz.mp3");
            CreateDirectoryA("quizz.mp3", nullptr);
        }
        EXPECT_EQ(extractMedia(g_app.instance, c.resourceId, c.kind, g_app.media.showMessage),
                  c.result)
            << c.what;
        if (c.file != nullptr) {
            EXPECT_TRUE(readFile(c.file) == resourceBytes(nullptr, "IMG", c.resourceId))
                << c.what << ": " << c.file << " does not hold resource " << c.resourceId;
        }
        EXPECT_EQ(log.take(), c.messages) << c.what;
        RemoveDirectoryA("quizz.mp3");
    }
}

TEST(Audio, PlayWritesTheClipAndOneHiddenChildWindowThatStopDestroys) {
    const struct {
        int question;
        int stopButton;
    } cases[] = {
        // clang-format off
        {1, 7001},
        {2, 7006},
        {4, 7004},
        {6, 7001},
        // clang-format on
    };
    for (const auto& c : cases) {
        AudioBoard audio;
        HWND board = audio.board();
        click(board, ID_PLAY_BUTTON_BASE + c.question);
        HWND window = g_app.media.audioWindow;
        ASSERT_NE(window, nullptr) << "question " << c.question;
        EXPECT_EQ(GetParent(window), board) << "question " << c.question;
        EXPECT_EQ(classOf(window), "MCIWndClass") << "question " << c.question;
        EXPECT_TRUE(styleOf(window) & WS_CHILD) << "question " << c.question;
        EXPECT_FALSE(styleOf(window) & WS_VISIBLE) << "question " << c.question;
        EXPECT_EQ(childrenOfClass(board, "MCIWndClass").size(), 1u) << "question " << c.question;
        EXPECT_TRUE(readFile("quizz.mp3") == clipOf(c.question))
            << "question " << c.question << ": quizz.mp3 is not its clip";
        EXPECT_TRUE(audio.log().take().empty()) << "question " << c.question;

        click(board, c.stopButton);
        EXPECT_FALSE(IsWindow(window)) << "question " << c.question << ", stop " << c.stopButton;
        EXPECT_EQ(g_app.media.audioWindow, nullptr) << "question " << c.question;
        EXPECT_TRUE(childrenOfClass(board, "MCIWndClass").empty()) << "question " << c.question;
        EXPECT_FALSE(fileExists("quizz.mp3")) << "question " << c.question;
    }
}

TEST(Audio, PlayingAnotherQuestionReplacesTheFirst) {
    AudioBoard audio;
    HWND board = audio.board();
    const int order[] = {1, 2, 2, 6, 3};
    HWND previous = nullptr;
    for (int q : order) {
        click(board, ID_PLAY_BUTTON_BASE + q);
        HWND window = g_app.media.audioWindow;
        ASSERT_NE(window, nullptr) << "question " << q;
        if (previous != nullptr) {
            EXPECT_FALSE(IsWindow(previous)) << "question " << q << ": the previous clip lives on";
        }
        EXPECT_EQ(childrenOfClass(board, "MCIWndClass"), std::vector<HWND>{window})
            << "question " << q;
        EXPECT_TRUE(readFile("quizz.mp3") == clipOf(q))
            << "question " << q << ": quizz.mp3 is not its clip";
        previous = window;
    }
}

TEST(Audio, StopWithNothingPlayingDoesNothing) {
    AudioBoard audio;
    HWND board = audio.board();
    // Not the program's own clip: with no audio window, a stop leaves it alone.
    writeFile("quizz.mp3", "someone else's file");
    int children = childCount(board);
    for (int q = 1; q <= 6; ++q) {
        click(board, ID_STOP_BUTTON_BASE + q);
        EXPECT_EQ(g_app.media.audioWindow, nullptr) << "stop " << q;
        EXPECT_EQ(childCount(board), children) << "stop " << q;
        EXPECT_EQ(readFile("quizz.mp3"), "someone else's file") << "stop " << q;
    }
    // A second stop after a real one finds nothing either.
    click(board, ID_PLAY_BUTTON_BASE + 1);
    click(board, ID_STOP_BUTTON_BASE + 1);
    writeFile("quizz.mp3", "someone else's file");
    click(board, ID_STOP_BUTTON_BASE + 2);
    EXPECT_EQ(readFile("quizz.mp3"), "someone else's file");
    EXPECT_TRUE(audio.log().take().empty());
}

TEST(Audio, MissingClipShowsItsMessageAfterStoppingThePreviousOne) {
    AudioBoard audio;
    HWND board = audio.board();
    click(board, ID_PLAY_BUTTON_BASE + 1);
    HWND first = g_app.media.audioWindow;
    ASSERT_NE(first, nullptr);
    click(board, ID_PLAY_BUTTON_BASE + 5);
    EXPECT_EQ(audio.log().take(), (std::vector<Message>{{kMissingAudio, "Information"}}));
    EXPECT_FALSE(IsWindow(first)) << "the previous clip must stop";
    EXPECT_EQ(g_app.media.audioWindow, nullptr);
    EXPECT_TRUE(childrenOfClass(board, "MCIWndClass").empty());
    EXPECT_FALSE(fileExists("quizz.mp3"));
    // The board goes on: the next question plays.
    click(board, ID_PLAY_BUTTON_BASE + 6);
    EXPECT_NE(g_app.media.audioWindow, nullptr);
    EXPECT_TRUE(readFile("quizz.mp3") == clipOf(6));
    EXPECT_TRUE(audio.log().take().empty());
}

TEST(Audio, OnlyClicksOnTheButtonsAct) {
    const struct {
        const char* what;
        bool playingBefore;
        WPARAM command;
        bool playingAfter;
    } cases[] = {
        // clang-format off
        {"a click on play 1", false, 6001, true},
        {"a double click on play 1", false, MAKEWPARAM(6001, BN_DOUBLECLICKED), false},
        {"the focus on play 1", false, MAKEWPARAM(6001, BN_SETFOCUS), false},
        {"6000: no such button", false, 6000, false},
        {"6091: beyond question 90", false, 6091, false},
        {"a click on stop 3", true, 7003, false},
        {"the focus on stop 3", true, MAKEWPARAM(7003, BN_SETFOCUS), true},
        {"7000: no such button", true, 7000, true},
        {"7091: beyond question 90", true, 7091, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        AudioBoard audio;
        HWND board = audio.board();
        if (c.playingBefore) {
            click(board, ID_PLAY_BUTTON_BASE + 2);
        }
        SendMessageA(board, WM_COMMAND, c.command, 0);
        EXPECT_EQ(g_app.media.audioWindow != nullptr, c.playingAfter) << c.what;
        EXPECT_EQ(fileExists("quizz.mp3"), c.playingAfter) << c.what;
    }
}

// The real thing: the MCI window's position moves on while the clip plays.
TEST(Audio, TheClipReallyPlays) {
    AudioBoard audio;
    HWND board = audio.board();
    click(board, ID_PLAY_BUTTON_BASE + 3);
    HWND window = g_app.media.audioWindow;
    ASSERT_NE(window, nullptr);
    char mode[64] = "";
    MCIWndGetMode(window, mode, sizeof mode);
    EXPECT_STREQ(mode, "playing");
    long first = 0;
    ASSERT_TRUE(waitFor([&] { return (first = MCIWndGetPosition(window)) > 0; }, 5000))
        << "the clip does not start (GStreamer plugins and an ALSA device are needed)";
    long later = first;
    EXPECT_TRUE(waitFor([&] { return (later = MCIWndGetPosition(window)) >= first + 300; }, 5000))
        << "the position stays at " << later;
    click(board, ID_STOP_BUTTON_BASE + 3);
    EXPECT_FALSE(IsWindow(window));
}

// With the clip's file impossible to write, the play still makes its window, which plays
// nothing and shows no error box of its own (one would stop the program until answered).
TEST(Audio, UnwritableClipFilePlaysNothingSilently) {
    AudioBoard audio;
    HWND board = audio.board();
    ASSERT_TRUE(CreateDirectoryA("quizz.mp3", nullptr));
    click(board, ID_PLAY_BUTTON_BASE + 1);
    HWND window = g_app.media.audioWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(audio.log().take().empty());
    waitFor([] { return false; }, 300);
    EXPECT_EQ(MCIWndGetPosition(window), 0);
    // No window of this process other than the board's own may have appeared.
    DWORD self = GetCurrentProcessId();
    struct Search {
        DWORD process;
        HWND main;
        int others;
    } search = {self, GetParent(board), 0};
    EnumWindows(
        [](HWND top, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(top, &pid);
            if (pid == s->process && top != s->main && IsWindowVisible(top)) {
                ++s->others;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.others, 0) << "an error box is showing";
    click(board, ID_STOP_BUTTON_BASE + 1);
    EXPECT_FALSE(IsWindow(window));
    RemoveDirectoryA("quizz.mp3");
}

} // namespace
