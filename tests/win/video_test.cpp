// Video questions on a real board with real media players: one player per question in its
// host, each loaded with its own clip file, playing side by side and all stopped by one stop
// button; the board cut short when a player cannot be made; the shut-down order.
#include <windows.h>
#include <wmp.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "media/video_win.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/media_win.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"
#include "window/app_state_win.h"
#include "window/shell_win.h"

using namespace test_support;

namespace {

const char kMissingVideo[] = "Impossible de localiser le fichier vid\xE9o.";

// A video board of n questions in a folder of its own; clips exist for questions 1, 2, 3
// and 12 only (see video_test.rc).
class VideoBoard {
  public:
    explicit VideoBoard(int n) : windows_(makeNumberedQuiz(QUIZ_VIDEO, 1, REVEAL_NOTHING, n)) {}
    HWND board() const { return windows_.board(); }
    MessageLog& log() { return log_; }
    bool hosting() const { return hosting_.started(); }
    HMODULE atl() const { return hosting_.atl(); }

  private:
    WorkingFolder folder_;
    MessageLog log_;
    VideoHosting hosting_;
    PlayerWindows windows_;
};

std::wstring takeText(BSTR text) {
    std::wstring copy = text != nullptr ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return copy;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Question q's position in its clip, in seconds; 0 when the player has none (stopped).
double position(int q) {
    double seconds = 0;
    if (g_app.media.videoControls[q]->get_currentPosition(&seconds) != S_OK) {
        return 0;
    }
    return seconds;
}

// Which of `questions` have a position that moves on within a third of a second.
std::vector<int> playing(const std::vector<int>& questions) {
    std::vector<double> before;
    for (int q : questions) {
        before.push_back(position(q));
    }
    waitFor([] { return false; }, 350);
    std::vector<int> moving;
    for (size_t i = 0; i < questions.size(); ++i) {
        if (position(questions[i]) > before[i] + 0.1) {
            moving.push_back(questions[i]);
        }
    }
    return moving;
}

// The control that atl.dll hosts in `host`, as its IUnknown; null when it hosts none.
IUnknown* hostedControl(HMODULE atl, HWND host) {
    using GetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    auto getControl = reinterpret_cast<GetControlFn>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    IUnknown* control = nullptr;
    if (getControl == nullptr || FAILED(getControl(host, &control)) || control == nullptr) {
        return nullptr;
    }
    control->Release(); // only compared, never called; the host keeps it alive
    return control;
}

IUnknown* identityOf(IUnknown* object) {
    IUnknown* identity = nullptr;
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (identity != nullptr) {
        identity->Release();
    }
    return identity;
}

// Every question of a 12-question board: its own player, hosted in its own host static,
// loaded with its own clip file and stopped. (The player's own buttons are switched off
// with put_uiMode, which Wine's player does not implement, so that cannot be read back.)
TEST(Video, EveryQuestionGetsItsOwnStoppedPlayerInItsHost) {
    const int n = 12;
    VideoBoard video(n);
    ASSERT_TRUE(video.hosting()) << "no atl.dll";
    HWND board = video.board();
    std::vector<int> questions;
    for (int q = 1; q <= n; ++q) {
        questions.push_back(q);
        bool hasClip = q <= 3 || q == 12;
        HWND host = GetDlgItem(board, ID_PLAYER_HOST_BASE + q);
        ASSERT_NE(host, nullptr) << "question " << q;
        EXPECT_EQ(g_app.media.playerHosts[q], host) << "question " << q;
        IWMPPlayer* player = g_app.media.videoPlayers[q];
        ASSERT_NE(player, nullptr) << "question " << q;
        ASSERT_NE(g_app.media.videoControls[q], nullptr) << "question " << q;
        IUnknown* hosted = hostedControl(video.atl(), host);
        EXPECT_NE(hosted, nullptr) << "question " << q << ": the host holds no control";
        EXPECT_EQ(hosted, identityOf(player)) << "question " << q << ": not its own player";
        BSTR url = nullptr;
        player->get_URL(&url);
        std::wstring named = takeText(url);
        std::wstring expected = L"quizz" + std::to_wstring(q) + L".avi";
        EXPECT_EQ(endsWith(named, expected), hasClip)
            << "question " << q << ": URL " << narrow(named);
        // Written for the player, then deleted once the player let go of it.
        EXPECT_FALSE(fileExists(narrow(expected))) << "question " << q;
    }
    EXPECT_EQ(playing(questions), std::vector<int>{}) << "a clip starts on its own";
    // Questions 4 to 11 have no clip: one message each, in question order.
    std::vector<Message> expected(8, {kMissingVideo, "Information"});
    EXPECT_EQ(video.log().take(), expected);
    for (int q = n + 1; q <= kMaxQuestions; ++q) {
        EXPECT_EQ(g_app.media.videoPlayers[q], nullptr) << "question " << q;
    }
}

TEST(Video, PlayWritesTheClipAgainAndPlaysIt) {
    // Questions 1 and 12 have the tests' own films, 3 a film of the sample quiz, 5 none.
    const struct {
        int question;
        bool written;
        std::vector<Message> messages;
    } cases[] = {
        // clang-format off
        {1, true, {}},
        {12, true, {}},
        {3, true, {}},
        {5, false, {{kMissingVideo, "Information"}}},
        // clang-format on
    };
    VideoBoard video(12);
    ASSERT_TRUE(video.hosting());
    video.log().take();
    for (const auto& c : cases) {
        std::string file = "quizz" + std::to_string(c.question) + ".avi";
        click(video.board(), ID_PLAY_BUTTON_BASE + c.question);
        EXPECT_EQ(video.log().take(), c.messages) << "question " << c.question;
        if (c.written) {
            EXPECT_TRUE(readFile(file) ==
                        resourceBytes(nullptr, "IMG", questionMediaId(c.question)))
                << file << " does not hold its clip";
            EXPECT_EQ(playing({c.question}), std::vector<int>{c.question})
                << "question " << c.question << " does not play";
        } else {
            EXPECT_FALSE(fileExists(file)) << file;
            EXPECT_EQ(playing({c.question}), std::vector<int>{}) << "question " << c.question;
        }
    }
}

TEST(Video, TwoPlayTogetherAndOneStopButtonStopsBoth) {
    VideoBoard video(12);
    ASSERT_TRUE(video.hosting());
    HWND board = video.board();
    video.log().take();
    click(board, ID_PLAY_BUTTON_BASE + 1);
    click(board, ID_PLAY_BUTTON_BASE + 12);
    EXPECT_EQ(playing({1, 2, 12}), (std::vector<int>{1, 12}));

    click(board, ID_STOP_BUTTON_BASE + 7);
    EXPECT_EQ(playing({1, 12}), std::vector<int>{}) << "still playing after a stop";
    // A stopped clip keeps its file until the program ends.
    EXPECT_TRUE(fileExists("quizz1.avi"));
    EXPECT_TRUE(fileExists("quizz12.avi"));
    // Played again after the stop, from the start.
    click(board, ID_PLAY_BUTTON_BASE + 12);
    EXPECT_EQ(playing({1, 12}), std::vector<int>{12});
    click(board, ID_STOP_BUTTON_BASE + 12);
    // A stop with nothing playing is harmless.
    click(board, ID_STOP_BUTTON_BASE + 1);
    EXPECT_EQ(playing({1, 12}), std::vector<int>{});
    EXPECT_TRUE(video.log().take().empty());
}

// Makes players as the player does, until question `failFrom`, where it fails.
int g_failFrom = 0;
HRESULT failingFactory(int question, IWMPPlayer** player) {
    if (question >= g_failFrom) {
        return REGDB_E_CLASSNOTREG;
    }
    return createMediaPlayer(question, player);
}

TEST(Video, BoardEndsWhereAPlayerCannotBeMade) {
    const struct {
        const char* what;
        bool hosting;
        int failFrom; // 0: the real factory
        int built;    // questions with every control
    } cases[] = {
        // clang-format off
        {"no player for question 3", true, 3, 2},
        {"no player for question 1", true, 1, 0},
        {"COM not initialised", false, 0, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        WorkingFolder folder;
        writeFile(ownAnswersFile(), "A1\r\nA2\r\nA3\r\nA4\r\nA5\r\n");
        g_failFrom = c.failFrom;
        PlayerFactoryFn realFactory = g_app.media.createPlayer;
        if (c.failFrom != 0) {
            g_app.media.createPlayer = failingFactory;
        }
        {
            MessageLog log;
            std::unique_ptr<VideoHosting> hosting(c.hosting ? new VideoHosting : nullptr);
            PlayerWindows windows(makeNumberedQuiz(QUIZ_VIDEO, 1, REVEAL_NOTHING, 5));
            HWND board = windows.board();
            int failed = c.built + 1;
            for (int q = 1; q <= c.built; ++q) {
                EXPECT_NE(childWithText(board, ID_NUMBER_LABEL, std::to_string(q) + "."), nullptr)
                    << c.what << ": question " << q;
                EXPECT_EQ(itemText(board, verdictLabelId(answerFieldId(q))), "BRAVO")
                    << c.what << ": question " << q;
                EXPECT_NE(g_app.media.videoPlayers[q], nullptr) << c.what << ": question " << q;
            }
            // The question whose player failed keeps its buttons and host, nothing more.
            EXPECT_NE(GetDlgItem(board, playButtonId(failed)), nullptr) << c.what;
            EXPECT_NE(GetDlgItem(board, stopButtonId(failed)), nullptr) << c.what;
            EXPECT_NE(GetDlgItem(board, playerHostId(failed)), nullptr) << c.what;
            EXPECT_EQ(g_app.media.videoPlayers[failed], nullptr) << c.what;
            EXPECT_EQ(childWithText(board, ID_NUMBER_LABEL, std::to_string(failed) + "."), nullptr)
                << c.what;
            EXPECT_EQ(GetDlgItem(board, answerFieldId(failed)), nullptr) << c.what;
            EXPECT_EQ(GetDlgItem(board, playButtonId(failed + 1)), nullptr) << c.what;
            EXPECT_EQ(childCount(board), 6 * c.built + 3) << c.what;
            EXPECT_EQ(itemText(windows.main(), ID_SCORE_BOX),
                      " " + std::to_string(c.built) + " / 5")
                << c.what;
            // The answers file was closed when the board stopped: it can go.
            EXPECT_TRUE(DeleteFileA(ownAnswersFile().c_str())) << c.what << ": still open";
            // The question without a player ignores its play button.
            click(board, playButtonId(failed));
            EXPECT_FALSE(fileExists("quizz" + std::to_string(failed) + ".avi")) << c.what;
            EXPECT_TRUE(log.take().empty()) << c.what;
        }
        g_app.media.createPlayer = realFactory;
    }
}

// The shut-down after the message loop: clip files, windows and players, COM, atl.dll.
TEST(Video, ShutDownDeletesTheClipsAndReleasesEverything) {
    WorkingFolder folder;
    MessageLog log;
    g_app.instance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(registerMainWindowClass(g_app.instance) ||
                GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    Quiz* quiz = makeNumberedQuiz(QUIZ_VIDEO, 1, REVEAL_NOTHING, 3);
    g_app.quiz = quiz;
    HMODULE atl = nullptr;
    ASSERT_TRUE(startVideoHosting(&atl));
    HWND main = createMainWindow(g_app.instance, quiz);
    ASSERT_NE(main, nullptr);
    HWND board = createQuestionBoard(main);
    ASSERT_NE(board, nullptr);
    click(board, ID_PLAY_BUTTON_BASE + 1);
    click(board, ID_PLAY_BUTTON_BASE + 2);
    EXPECT_EQ(playing({1}), std::vector<int>{1});
    writeFile("quizz90.avi", "left from an earlier run");
    writeFile("quizz91.avi", "not one of the player's files");
    HWND host = GetDlgItem(board, ID_PLAYER_HOST_BASE + 1);

    stopVideoHosting(main, atl);

    const char* gone[] = {"quizz1.avi", "quizz2.avi", "quizz3.avi", "quizz90.avi"};
    for (const char* file : gone) {
        EXPECT_FALSE(fileExists(file)) << file;
    }
    EXPECT_TRUE(fileExists("quizz91.avi"));
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(host));
    for (int q = 1; q <= kMaxQuestions; ++q) {
        EXPECT_EQ(g_app.media.videoPlayers[q], nullptr) << "question " << q;
        EXPECT_EQ(g_app.media.videoControls[q], nullptr) << "question " << q;
    }
    EXPECT_EQ(g_app.media.atlAxAttachControl, nullptr);
    // COM was shut down as often as it was started: a new start is the first one again.
    HRESULT again = CoInitialize(nullptr);
    EXPECT_EQ(again, S_OK);
    if (SUCCEEDED(again)) {
        CoUninitialize();
    }
    EXPECT_TRUE(log.take().empty());
    g_app.quiz = nullptr;
    freeQuiz(quiz);
}

} // namespace
