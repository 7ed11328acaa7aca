// The answers file written from real answer fields and read back, each test in a working
// directory of its own, as the player uses it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "content/quiz.h"
#include "progress/answers_file_win.h"
#include "resources/resource.h"
#include "tests/support/files.h"
#include "tests/support/player_windows_win.h"
#include "tests/support/programs.h"
#include "tests/support/running_player_win.h"
#include "tests/support/temp_folder.h"
#include "window/app_state_win.h"

using namespace test_support;

namespace {

// Run with this flag, the program writes answers as a renamed copy of itself would.
const char kChildFlag[] = "--answers-file-child";
// A field the board never created (its initialisation ended early).
const char kMissingField[] = "\x01(missing)";

const std::string k259(259, 'x');

std::string baseNameOf(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// Stands in for the board: a window whose children 4001, 4002, ... are Edit fields.
struct TestBoard {
    HWND window;
    explicit TestBoard(const std::vector<std::string>& fields) {
        window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (fields[i] == kMissingField) {
                continue;
            }
            INT_PTR id = answerFieldId(1 + static_cast<int>(i));
            CreateWindowExA(0, "Edit", fields[i].c_str(), WS_CHILD | ES_AUTOHSCROLL, 0,
                            20 * static_cast<int>(i), 300, 20, window, reinterpret_cast<HMENU>(id),
                            GetModuleHandleA(nullptr), nullptr);
        }
    }
    ~TestBoard() { DestroyWindow(window); }
};

// Makes g_app.quiz a quiz of the given shape for the life of the object.
struct QuizInPlace {
    Quiz quiz;
    Quiz* previous;
    QuizInPlace(int answersPerQuestion, int questionCount) : quiz(), previous(g_app.quiz) {
        quiz.answersPerQuestion = answersPerQuestion;
        quiz.questionCount = questionCount;
        g_app.quiz = &quiz;
    }
    ~QuizInPlace() { g_app.quiz = previous; }
};

// What a renamed copy of this program does: reads its saved answers into its fields with
// a "!" added, and writes them back.
int runAsChild() {
    static QuizInPlace shape(1, 2);
    SavedAnswers saved;
    openSavedAnswers(&saved);
    std::vector<std::string> fields;
    for (int k = 0; k < 2; ++k) {
        char text[260];
        readSavedAnswer(&saved, text);
        fields.push_back(std::string(text) + "!");
    }
    closeSavedAnswers(&saved);
    TestBoard board(fields);
    return writeAnswersFile(g_app.quiz, board.window) ? 0 : 3;
}

struct ChildMode {
    ChildMode() {
        if (strstr(GetCommandLineA(), kChildFlag) != nullptr) {
            ExitProcess(runAsChild());
        }
    }
} childMode;

// Bytes with line ends made visible, for failure messages.
std::string visible(const std::string& bytes) {
    std::string shown;
    for (char c : bytes) {
        shown += c == '\r'   ? std::string("\\r")
                 : c == '\n' ? std::string("\\n\n")
                             : std::string(1, c);
    }
    return shown;
}

// The texts the board would give its first `count` fields.
std::vector<std::string> savedTexts(int count) {
    SavedAnswers saved;
    openSavedAnswers(&saved);
    std::vector<std::string> texts;
    for (int k = 0; k < count; ++k) {
        char text[260];
        memset(text, '#', sizeof text);
        readSavedAnswer(&saved, text);
        texts.push_back(text);
    }
    closeSavedAnswers(&saved);
    EXPECT_EQ(saved.file, nullptr);
    closeSavedAnswers(&saved); // a second close does nothing
    return texts;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts) {
        all += "[" + text + "]";
    }
    return all;
}

// Each test in a working directory of its own. win_answers_file_test.exe keeps its answers
// in win_answers_file_test.txt.
class AnswersFileTest : public ::testing::Test {
  protected:
    // Names in the test's working directory, sorted.
    std::vector<std::string> entries() const { return folder_.names(); }

    WorkingFolder folder_{"answers"};
    const std::string answersName_ = ownAnswersFile();
};

struct WriteCase {
    const char* what;
    int answersPerQuestion, questionCount;
    std::vector<std::string> fields;
    std::string expectedFile;
    std::vector<std::string> expectedBack; // what the fields get at the next start
};

TEST_F(AnswersFileTest, WritesOneLinePerFieldAndReadsThemBack) {
    // clang-format off
    const WriteCase cases[] = {
        {"three one-answer questions", 1, 3, {"Paris", "", "Lyon"}, "Paris\r\n*\r\nLyon\r\n", {"Paris", "", "Lyon"}},
        {"a field holding * comes back empty", 1, 2, {"*", "Nice"}, "*\r\nNice\r\n", {"", "Nice"}},
        {"more than 259 characters", 1, 3, {k259 + "yyyy", "Lyon", "Nice"}, k259 + "\r\nLyon\r\nNice\r\n", {k259, "Lyon", "Nice"}},
        {"two answers of two questions", 2, 2, {"Victor", "Hugo", "Jules", "Verne"}, "Victor\r\nHugo\r\nJules\r\nVerne\r\n", {"Victor", "Hugo", "Jules", "Verne"}},
        {"fields the board never created", 1, 4, {"Paris", "Lyon", kMissingField, kMissingField}, "Paris\r\nLyon\r\n*\r\n*\r\n", {"Paris", "Lyon", "", ""}},
        {"spaces and Windows-1252 letters", 1, 2, {"  No\xEBl ", "\xC9t\xE9"}, "  No\xEBl \r\n\xC9t\xE9\r\n", {"  No\xEBl ", "\xC9t\xE9"}},
        {"nothing typed", 2, 1, {"", ""}, "*\r\n*\r\n", {"", ""}},
        {"a quiz without questions", 1, 0, {}, "", {}},
    };
    // clang-format on
    for (const WriteCase& c : cases) {
        QuizInPlace shape(c.answersPerQuestion, c.questionCount);
        TestBoard board(c.fields);
        EXPECT_TRUE(writeAnswersFile(g_app.quiz, board.window)) << c.what;
        EXPECT_EQ(visible(readFile(answersName_)), visible(c.expectedFile)) << c.what;
        EXPECT_EQ(entries(), std::vector<std::string>{answersName_})
            << c.what << ": something beside the answers file";
        std::vector<std::string> expectedBack = c.expectedBack;
        expectedBack.push_back(""); // a field past the end starts empty
        EXPECT_EQ(joined(savedTexts(static_cast<int>(c.fields.size()) + 1)), joined(expectedBack))
            << c.what;
    }
}

TEST_F(AnswersFileTest, ReadsWhatAnEditorMayHaveLeft) {
    struct Case {
        const char* what;
        const char* file; // null: no answers file
        std::vector<std::string> expected;
    };
    const std::string longLine = std::string(600, 'x') + "\r\nLyon\r\n";
    // clang-format off
    const Case cases[] = {
        {"no answers file", nullptr, {"", "", ""}},
        {"last line without line end", "Paris\r\nLyon", {"Paris", "Lyon"}},
        {"fewer lines than fields", "Paris\r\n", {"Paris", "", ""}},
        {"more lines than fields", "a\r\nb\r\nc\r\nd\r\n", {"a", "b"}},
        {"lines ended by LF alone", "Paris\nLyon\n", {"Paris", "Lyon"}},
        {"a long line keeps the next in place", longLine.c_str(), {k259, "Lyon", ""}},
        {"empty lines", "\r\n\r\nNice\r\n", {"", "", "Nice"}},
        {"an empty file", "", {"", ""}},
        {"a byte 0x1A does not end the file", "Pa\x1Aris\r\nLyon\r\n", {"Pa\x1Aris", "Lyon"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        DeleteFileA(answersName_.c_str());
        if (c.file != nullptr) {
            writeFile(answersName_, c.file);
        }
        EXPECT_EQ(joined(savedTexts(static_cast<int>(c.expected.size()))), joined(c.expected))
            << c.what;
    }
}

TEST_F(AnswersFileTest, SavedFileWithoutQuizNameIsNotRead) {
    writeFile("quiz.txt", "Paris\r\nLyon\r\n");
    EXPECT_EQ(joined(savedTexts(2)), joined({"", ""})) << "read another program's answers file";
    SavedAnswers saved;
    openSavedAnswers(&saved);
    EXPECT_EQ(saved.file, nullptr);
    closeSavedAnswers(&saved);
}

TEST_F(AnswersFileTest, ReplacesAnOlderLongerFileWhole) {
    writeFile(answersName_, "un\r\ndeux\r\ntrois\r\nquatre\r\n" + k259 + "\r\n");
    QuizInPlace shape(1, 2);
    TestBoard board({"A", "B"});
    EXPECT_TRUE(writeAnswersFile(g_app.quiz, board.window));
    EXPECT_EQ(visible(readFile(answersName_)), visible("A\r\nB\r\n"));
}

// Whatever goes wrong, the answers saved before stay as they were and no temporary file
// is left behind.
TEST_F(AnswersFileTest, FailedWriteKeepsTheSavedAnswers) {
    const std::string saved = "Paris\r\nLyon\r\n";
    const std::string temporary = answersName_ + ".tmp";
    QuizInPlace shape(1, 2);
    TestBoard board({"Rome", "Oslo"});

    // The temporary file cannot be created: a folder has its name.
    writeFile(answersName_, saved);
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    EXPECT_FALSE(writeAnswersFile(g_app.quiz, board.window));
    EXPECT_EQ(visible(readFile(answersName_)), visible(saved)) << "temporary file blocked";
    RemoveDirectoryA(temporary.c_str());

    // The answers file cannot be replaced: it is read-only.
    SetFileAttributesA(answersName_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(writeAnswersFile(g_app.quiz, board.window));
    EXPECT_EQ(visible(readFile(answersName_)), visible(saved)) << "read-only answers file";
    EXPECT_EQ(entries(), std::vector<std::string>{answersName_}) << "read-only answers file";
    SetFileAttributesA(answersName_.c_str(), FILE_ATTRIBUTE_NORMAL);

    // Nothing can be had where the answers file should go: a folder has its name.
    DeleteFileA(answersName_.c_str());
    ASSERT_TRUE(CreateDirectoryA(answersName_.c_str(), nullptr));
    EXPECT_FALSE(writeAnswersFile(g_app.quiz, board.window));
    EXPECT_EQ(entries(), std::vector<std::string>{answersName_}) << "answers file is a folder";
    RemoveDirectoryA(answersName_.c_str());

    // No quiz: no field count, and an empty file would wipe the saved answers.
    writeFile(answersName_, saved);
    g_app.quiz = nullptr;
    EXPECT_FALSE(writeAnswersFile(g_app.quiz, board.window));
    EXPECT_EQ(visible(readFile(answersName_)), visible(saved)) << "no quiz";
}

TEST_F(AnswersFileTest, ModuleBaseName) {
    char name[MAX_PATH];
    moduleBaseName(name, sizeof name);
    EXPECT_EQ(std::string(name), baseNameOf(ownPath()));
    EXPECT_EQ(std::string(name).find('\\'), std::string::npos);

    char tooSmall[8];
    memset(tooSmall, '#', sizeof tooSmall);
    moduleBaseName(tooSmall, sizeof tooSmall);
    EXPECT_STREQ(tooSmall, "") << "a cut module path must not name a file";
}

// A copy of this program named other.exe keeps its answers in other.txt and never reads
// or writes those of the name it was built with.
TEST_F(AnswersFileTest, RenamedProgramUsesItsOwnFile) {
    ASSERT_TRUE(CopyFileA(ownPath().c_str(), folder_.file("other.exe").c_str(), FALSE));
    writeFile("other.txt", "Paris\r\nLyon\r\n");
    writeFile(answersName_, "Faux\r\nFaux\r\n");

    ProgramRun child =
        runProgram({folder_.file("other.exe"), kChildFlag}, "", folder_.path(), 30000);

    EXPECT_EQ(child.exitCode, 0) << "the renamed program could not write its answers";
    EXPECT_EQ(visible(readFile("other.txt")), visible("Paris!\r\nLyon!\r\n"));
    EXPECT_EQ(visible(readFile(answersName_)), visible("Faux\r\nFaux\r\n"));
}

// When Windows ends the session the player gets WM_QUERYENDSESSION and WM_ENDSESSION, never
// WM_CLOSE, and the process is ended right after: what was typed must be saved by then.
TEST_F(AnswersFileTest, PlayerSavesAnswersWhenTheSessionEnds) {
    HWND firstField = nullptr;
    {
        RunningPlayer player(playerPath(), folder_.path());
        ASSERT_NE(player.main(), nullptr) << "no \"WindowsApp\" window appeared";
        ASSERT_NE(player.board(), nullptr) << "no board shown";
        firstField = GetDlgItem(player.board(), 4001);
        ASSERT_NE(firstField, nullptr) << "the board has no answer field 4001";
        SendMessageA(firstField, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Tap\xE9 avant"));
        DWORD_PTR allowed = 0;
        SendMessageTimeoutA(player.main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                            SMTO_ABORTIFHUNG, 5000, &allowed);
        EXPECT_NE(allowed, 0u) << "the player refused to let the session end";
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(player.main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                            5000, &ignored);
        // Leaving the scope ends the process, as Windows does once the session ends.
    }

    std::string saved = readFile("quizplayer.txt");
    EXPECT_EQ(visible(saved.substr(0, saved.find('\n') + 1)), visible("Tap\xE9 avant\r\n"))
        << "the typed answer was lost when the session ended";
    EXPECT_EQ(entries(), std::vector<std::string>{"quizplayer.txt"});
}

} // namespace
