// Quiz executables of every kind, made from the real quizplayer.exe by writing a quiz into
// its resources, started as separate processes and driven from outside as a player would:
// read the controls, type, move to another field, close, start again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "content/quiz.h"
#include "resources/resource.h"
#include "tests/support/bitmap_file.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/quiz_executable_win.h"
#include "tests/support/quiz_factory.h"
#include "tests/support/running_player_win.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"
#include "window/board_layout.h"

using namespace test_support;

namespace {

// A grey picture of the given size (OLE's picture loader reads BMP as well as JPEG).
std::string bitmapFile(int width, int height) {
    return bmpFile(width, height, RGB(128, 128, 128), RGB(128, 128, 128));
}

struct QuizShape {
    int quizType;
    int answersPerQuestion;
    int revealMode;
    int questionCount;
    std::vector<ResourceData> images;
};

// Copies the player to `path` and writes the quiz into its resources: question q expects
// "A<q>" (and "B<q>"), reveals "R<q>"; codes are "CODE<s>". "" on success.
std::string buildQuizExecutable(const std::string& path, const QuizShape& shape) {
    OwnedQuiz quiz(makeNumberedQuiz(shape.quizType, shape.answersPerQuestion, shape.revealMode,
                                    shape.questionCount));
    quiz->backgroundColour = RGB(230, 240, 255);
    return writeQuizExecutable(path, *quiz.quiz, shape.images);
}

std::string lines(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& t : texts) {
        bytes += t + "\r\n";
    }
    return bytes;
}

// A newcomer's session on a text quiz: type, close, start again.
TEST(PlayerEndToEnd, TypedAnswersAreGradedSavedAndRestored) {
    TempFolder folder("text_session");
    std::string exe = folder.file("capitales.exe");
    ASSERT_EQ(buildQuizExecutable(exe, {QUIZ_TEXT, 1, REVEAL_NOTHING, 3, {}}), "");
    std::string answers = folder.file("capitales.txt");
    {
        RunningPlayer player(exe, folder.path());
        ASSERT_NE(player.main(), nullptr) << "no main window";
        ASSERT_NE(player.board(), nullptr) << "no board";
        EXPECT_EQ(textOf(player.main()), kTestQuizTitle);
        EXPECT_EQ(player.mainText(ID_SCORE_BOX), " 0 / 3");
        EXPECT_EQ(player.mainText(ID_CODE_BOX), "      ");
        EXPECT_EQ(player.mainText(ID_CODE_LABEL), " Code :");
        EXPECT_EQ(player.mainText(ID_WEB_LINK), "http://quizz.fr");
        EXPECT_EQ(player.mainText(ID_VERSION_FOOTER), "R\xE9"
                                                      "alis\xE9 avec la version " QUIZZ_VERSION);
        EXPECT_TRUE(IsWindowVisible(player.main()));
        EXPECT_TRUE(IsWindowVisible(player.board()));

        player.type(1, "a1", 2);
        EXPECT_EQ(player.waitForBoardText(5001, "BRAVO"), "BRAVO");
        EXPECT_EQ(player.mainText(ID_SCORE_BOX), " 1 / 3");
        EXPECT_EQ(player.mainText(ID_CODE_BOX), "CODE1");
        player.type(2, "A", 3);
        EXPECT_EQ(player.waitForBoardText(5002, "Quasiment"), "Quasiment");
        EXPECT_EQ(player.boardText(4001), "a1");
        EXPECT_EQ(player.close(), 0);
    }
    EXPECT_EQ(readFile(answers), "a1\r\nA\r\n*\r\n");
    EXPECT_FALSE(fileExists(answers + ".tmp"));
    {
        RunningPlayer player(exe, folder.path());
        ASSERT_NE(player.board(), nullptr);
        EXPECT_EQ(player.boardText(4001), "a1");
        EXPECT_EQ(player.boardText(4002), "A");
        EXPECT_EQ(player.boardText(4003), "");
        EXPECT_EQ(player.boardText(5001), "BRAVO");
        EXPECT_EQ(player.boardText(5002), "Quasiment");
        EXPECT_EQ(player.boardText(5003), "?");
        EXPECT_EQ(player.mainText(ID_SCORE_BOX), " 1 / 3");
        EXPECT_EQ(player.mainText(ID_CODE_BOX), "CODE1");
        player.type(3, "A3", 1);
        EXPECT_EQ(player.waitForBoardText(5003, "BRAVO"), "BRAVO");
        EXPECT_EQ(player.mainText(ID_SCORE_BOX), " 2 / 3");
        EXPECT_EQ(player.mainText(ID_CODE_BOX), "CODE2");
        EXPECT_EQ(player.close(), 0);
    }
    EXPECT_EQ(readFile(answers), "a1\r\nA\r\nA3\r\n");
}

struct KindCase {
    const char* name;
    QuizShape shape;
    // One control of the board at its content position: the native layout tables give the
    // others, this shows the running player lays its board out by them.
    int control;
    PixelRect rect;
};

// Every kind, one and two answers: layout read from the running player, saved answers
// graded at start, one more typed, closed, and everything back at the next start.
TEST(PlayerEndToEnd, EveryKindRoundTrips) {
    // clang-format off
    const KindCase cases[] = {
        {"text1", {QUIZ_TEXT, 1, REVEAL_NOTHING, 6, {}}, 4002, {615, 35, 100, 20}},
        {"text2", {QUIZ_TEXT, 2, REVEAL_NOTHING, 6, {}}, 5002, {750, 31, 60, 17}},
        {"picture1", {QUIZ_PICTURE, 1, REVEAL_TEXT, 6, {}}, 4004, {30, 680, 260, 20}},
        {"picture2", {QUIZ_PICTURE, 2, REVEAL_NOTHING, 6, {}}, 5008, {315, 641, 60, 17}},
        {"audio1", {QUIZ_AUDIO, 1, REVEAL_NOTHING, 6, {}}, 4005, {340, 100, 220, 20}},
        {"audio2", {QUIZ_AUDIO, 2, REVEAL_NOTHING, 6, {}}, 5001, {315, 21, 60, 17}},
        // Video boards in the running player are covered by the media end-to-end tests,
        // which give the player films that Wine's media player accepts.
    };
    // clang-format on
    for (const KindCase& c : cases) {
        TempFolder folder(c.name);
        std::string exe = folder.file(std::string(c.name) + ".exe");
        ASSERT_EQ(buildQuizExecutable(exe, c.shape), "") << c.name;
        int fields = c.shape.answersPerQuestion * c.shape.questionCount;
        // Saved: field 1 right, field 2 wrong, the others empty.
        std::vector<std::string> saved(fields, "*");
        saved[0] = "A1";
        saved[1] = "zzz";
        std::string answers = folder.file(std::string(c.name) + ".txt");
        writeFile(answers, lines(saved));
        // Field 1 alone solves question 1 only with one answer per question.
        const char* scoreAtStart = c.shape.answersPerQuestion == 1 ? " 1 / 6" : " 0 / 6";
        {
            RunningPlayer player(exe, folder.path());
            ASSERT_NE(player.board(), nullptr) << c.name;
            HWND control = GetDlgItem(player.board(), c.control);
            ASSERT_NE(control, nullptr) << c.name << ": control " << c.control;
            EXPECT_EQ(rectInParent(control), c.rect) << c.name << ": control " << c.control;
            EXPECT_EQ(player.boardText(4001), "A1") << c.name;
            EXPECT_EQ(player.boardText(5001), "BRAVO") << c.name;
            EXPECT_EQ(player.boardText(5002), "FAUX") << c.name;
            EXPECT_EQ(player.boardText(5003), "?") << c.name;
            EXPECT_EQ(player.mainText(ID_SCORE_BOX), scoreAtStart) << c.name;
            // The last field of the board, typed right.
            std::string last = (c.shape.answersPerQuestion == 2 ? "b" : "a") +
                               std::to_string(c.shape.questionCount);
            player.type(fields, last, 1);
            EXPECT_EQ(player.waitForBoardText(verdictLabelId(answerFieldId(fields)), "BRAVO"),
                      "BRAVO")
                << c.name;
            EXPECT_EQ(player.close(), 0) << c.name;
            saved[fields - 1] = last;
        }
        EXPECT_EQ(readFile(answers), lines(saved)) << c.name;
        {
            RunningPlayer player(exe, folder.path());
            ASSERT_NE(player.board(), nullptr) << c.name;
            EXPECT_EQ(player.boardText(answerFieldId(fields)), saved[fields - 1]) << c.name;
            EXPECT_EQ(player.boardText(verdictLabelId(answerFieldId(fields))), "BRAVO") << c.name;
            EXPECT_EQ(player.boardText(5002), "FAUX") << c.name;
            const char* score = c.shape.answersPerQuestion == 1 ? " 2 / 6" : " 0 / 6";
            EXPECT_EQ(player.mainText(ID_SCORE_BOX), score) << c.name;
            EXPECT_EQ(player.mainText(ID_CODE_BOX),
                      c.shape.answersPerQuestion == 1 ? "CODE2" : "      ")
                << c.name;
            EXPECT_EQ(player.close(), 0) << c.name;
        }
    }
}

// Pictures centred in their cells, and the reveal picture moved over its box once solved.
TEST(PlayerEndToEnd, PicturesAndTheRevealPicture) {
    TempFolder folder("pictures");
    std::string exe = folder.file("images.exe");
    QuizShape shape = {QUIZ_PICTURE,
                       1,
                       REVEAL_TEXT_AND_PICTURE,
                       3,
                       {{"IMG", 401, bitmapFile(260, 173)},
                        {"IMG", 403, bitmapFile(200, 130)},
                        {"IMG", 402, bitmapFile(52, 39)},
                        {"IMG", 10402, bitmapFile(260, 195)}}};
    ASSERT_EQ(buildQuizExecutable(exe, shape), "");
    {
        RunningPlayer player(exe, folder.path());
        ASSERT_NE(player.board(), nullptr);
        struct Case {
            const char* what;
            int id;
            PixelRect rect;
        } cases[] = {
            {"260 x 173 in question 1", 9001, {30, 63, 260, 173}},
            {"52 x 39 in question 2, enlarged", 9002, {320, 52, 260, 195}},
            // Fitted first: 200 x 130 is enlarged to 260 x 169, then centred.
            {"200 x 130 in question 3", 9003, {610, 65, 260, 169}},
        };
        for (const Case& c : cases) {
            HWND picture = GetDlgItem(player.board(), c.id);
            ASSERT_NE(picture, nullptr) << c.what;
            EXPECT_EQ(rectInParent(picture), c.rect) << c.what;
            EXPECT_NE(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << c.what;
        }
        player.type(2, "a2", 1);
        // The verdict is written after the reveals: once it shows, both are done.
        EXPECT_EQ(player.waitForBoardText(5002, "BRAVO"), "BRAVO");
        EXPECT_EQ(player.boardText(8002), "R2");
        // Centred in a 260 x 260 box 10 pixels left of the cell at (320, 20).
        EXPECT_EQ(rectInParent(GetDlgItem(player.board(), 9002)), (PixelRect{310, 52, 260, 195}));
        player.type(1, "a1", 2);
        EXPECT_EQ(player.waitForBoardText(5001, "BRAVO"), "BRAVO");
        EXPECT_EQ(player.boardText(8001), "R1");
        EXPECT_EQ(rectInParent(GetDlgItem(player.board(), 9001)), (PixelRect{30, 63, 260, 173}))
            << "no reveal picture for question 1: the picture stays";
        player.type(2, "zzzz", 3);
        EXPECT_EQ(player.waitForBoardText(5002, "FAUX"), "FAUX");
        EXPECT_EQ(player.boardText(8002), "");
        EXPECT_EQ(rectInParent(GetDlgItem(player.board(), 9002)), (PixelRect{310, 52, 260, 195}))
            << "the reveal picture stays to the end of the run";
        EXPECT_EQ(player.close(), 0);
    }
}

// A question solved while the board is scrolled: its reveal picture sits on its own
// question, moved by the scroll position like every other control.
TEST(PlayerEndToEnd, RevealPictureOnAScrolledBoard) {
    TempFolder folder("scrolled_reveal");
    std::string exe = folder.file("images.exe");
    QuizShape shape = {
        QUIZ_PICTURE, 1, REVEAL_TEXT_AND_PICTURE, 9, {{"IMG", 10407, bitmapFile(260, 195)}}};
    ASSERT_EQ(buildQuizExecutable(exe, shape), "");
    RunningPlayer player(exe, folder.path());
    ASSERT_NE(player.board(), nullptr);
    HWND board = player.board();
    PixelRect before = rectInParent(GetDlgItem(board, 4007));
    DWORD_PTR result = 0;
    SendMessageTimeoutA(board, WM_VSCROLL, SB_BOTTOM, 0, SMTO_ABORTIFHUNG, 5000, &result);
    int scrolled = before.y - rectInParent(GetDlgItem(board, 4007)).y;
    ASSERT_GT(scrolled, 0) << "the board did not scroll";
    player.type(7, "A7", 8);
    EXPECT_EQ(player.waitForBoardText(5007, "BRAVO"), "BRAVO");
    PixelRect expected = revealPictureRect(7, 1, REVEAL_TEXT_AND_PICTURE, 260, 195);
    expected.y -= scrolled;
    EXPECT_EQ(rectInParent(GetDlgItem(board, 9007)), expected);
    EXPECT_EQ(player.close(), 0);
}

// The answers file lives in the working directory under the program's own name, one line
// per field, at most 259 characters each.
TEST(PlayerEndToEnd, AnswersFileCases) {
    TempFolder folder("answers_file");
    CreateDirectoryA(folder.file("work").c_str(), nullptr);
    std::string work = folder.file("work");
    std::string exe = folder.file("quiz.exe");
    ASSERT_EQ(buildQuizExecutable(exe, {QUIZ_TEXT, 2, REVEAL_NOTHING, 2, {}}), "");
    std::string longAnswer(300, 'x');
    {
        RunningPlayer player(exe, work);
        ASSERT_NE(player.board(), nullptr);
        player.type(1, "*", 2);
        player.type(2, longAnswer, 3);
        player.type(3, "A2", 1);
        EXPECT_EQ(player.waitForBoardText(5003, "BRAVO"), "BRAVO");
        EXPECT_EQ(player.close(), 0);
    }
    std::string cut(259, 'x');
    EXPECT_FALSE(fileExists(folder.file("quiz.txt"))) << "not beside the program";
    EXPECT_EQ(readFile(work + "\\quiz.txt"), "*\r\n" + cut + "\r\nA2\r\n*\r\n")
        << "a field holding * is saved as *; 259 characters of a longer one";
    {
        RunningPlayer player(exe, work);
        ASSERT_NE(player.board(), nullptr);
        EXPECT_EQ(player.boardText(4001), "") << "* comes back empty";
        EXPECT_EQ(player.boardText(4002), cut);
        EXPECT_EQ(player.boardText(4003), "A2") << "the next field keeps its own line";
        EXPECT_EQ(player.boardText(5003), "BRAVO");
        EXPECT_EQ(player.close(), 0);
    }
    // Renamed, the program looks for its own name's file and finds none.
    std::string other = folder.file("other.exe");
    ASSERT_TRUE(CopyFileA(exe.c_str(), other.c_str(), FALSE));
    {
        RunningPlayer player(other, work);
        ASSERT_NE(player.board(), nullptr);
        EXPECT_EQ(player.boardText(4003), "");
        EXPECT_EQ(player.close(), 0);
    }
    EXPECT_EQ(readFile(work + "\\other.txt"), "*\r\n*\r\n*\r\n*\r\n");
    EXPECT_EQ(readFile(work + "\\quiz.txt"), "*\r\n" + cut + "\r\nA2\r\n*\r\n");
}

// The video shut-down deletes every clip file; the audio close deletes the clip.
TEST(PlayerEndToEnd, MediaFilesGoAtExit) {
    struct Case {
        const char* name;
        int quizType;
        std::vector<std::string> files;
    } cases[] = {
        // clang-format off
        {"video_files", QUIZ_VIDEO, {"quizz1.avi", "quizz7.avi", "quizz90.avi", "quizz.mp3"}},
        {"audio_files", QUIZ_AUDIO, {"quizz.mp3"}},
        // clang-format on
    };
    for (const Case& c : cases) {
        TempFolder folder(c.name);
        std::string exe = folder.file(std::string(c.name) + ".exe");
        ASSERT_EQ(buildQuizExecutable(exe, {c.quizType, 1, REVEAL_NOTHING, 2, {}}), "") << c.name;
        for (const std::string& name : c.files) {
            writeFile(folder.file(name), "clip");
        }
        writeFile(folder.file("quizz91.avi"), "not one of the player's");
        RunningPlayer player(exe, folder.path(), RunningPlayer::UNTIL_MAIN_WINDOW);
        ASSERT_NE(player.main(), nullptr) << c.name;
        EXPECT_EQ(player.close(), 0) << c.name;
        for (const std::string& name : c.files) {
            EXPECT_FALSE(fileExists(folder.file(name))) << c.name << ": " << name;
        }
        EXPECT_TRUE(fileExists(folder.file("quizz91.avi"))) << c.name;
    }
}

// The program's own folder is searched first: an atl.dll there hides the system's, as on a
// machine without it or with another library of that name.
TEST(PlayerEndToEnd, VideoQuizWithoutAtlEndsWithOne) {
    TempFolder folder("no_atl");
    std::string exe = folder.file("sans_atl.exe");
    // Windows takes the atl.dll beside the program; Wine prefers its own unless this
    // program's settings say otherwise (a key that means nothing to Windows).
    const char* settings = "Software\\Wine\\AppDefaults\\sans_atl.exe\\DllOverrides";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, settings, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "atl", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
    RegCloseKey(key);
    ASSERT_EQ(buildQuizExecutable(exe, {QUIZ_VIDEO, 1, REVEAL_NOTHING, 2, {}}), "");
    const struct {
        const char* what;
        bool aLibrary; // else a file that is no library at all
    } cases[] = {
        // clang-format off
        {"atl.dll that is no library", false},
        {"atl.dll without AtlAxAttachControl", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        if (c.aLibrary) {
            // A program loads as a library too, and exports nothing.
            ASSERT_TRUE(CopyFileA(playerPath().c_str(), folder.file("atl.dll").c_str(), FALSE));
        } else {
            writeFile(folder.file("atl.dll"), "not a library");
        }
        RunningPlayer player(exe, folder.path(), RunningPlayer::UNTIL_MAIN_WINDOW);
        ASSERT_TRUE(player.started()) << c.what;
        EXPECT_EQ(player.main(), nullptr) << c.what << ": no window may appear";
        EXPECT_EQ(player.exitCode(), 1) << c.what;
        EXPECT_FALSE(fileExists(folder.file("sans_atl.txt"))) << c.what;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, settings);
    // The same program with atl.dll available runs and ends normally.
    DeleteFileA(folder.file("atl.dll").c_str());
    RunningPlayer normal(exe, folder.path(), RunningPlayer::UNTIL_MAIN_WINDOW);
    ASSERT_NE(normal.main(), nullptr);
    EXPECT_EQ(normal.close(), 0);
}

} // namespace
