#include "tests/support/player_windows_win.h"

#include "tests/support/board_driving_win.h"
#include "tests/support/files.h"
#include "tests/support/programs.h"
#include "tests/support/quiz_factory.h"
#include "window/app_state_win.h"
#include "window/shell_win.h"

namespace test_support {

std::string ownAnswersFile() {
    std::string self = ownPath();
    std::string name = self.substr(self.find_last_of("\\/") + 1);
    return name.substr(0, name.size() - 3) + "txt";
}

PlayerWindows::PlayerWindows(Quiz* quiz, Parts parts) : quiz_(quiz) {
    static bool registered = false;
    g_app.instance = GetModuleHandleA(nullptr);
    if (!registered) {
        registered = registerMainWindowClass(g_app.instance);
    }
    g_app.quiz = quiz;
    g_app.board = nullptr;
    main_ = createMainWindow(g_app.instance, quiz);
    if (parts == MAIN_AND_BOARD && main_ != nullptr) {
        board_ = createQuestionBoard(main_);
    }
}

PlayerWindows::~PlayerWindows() {
    if (main_ != nullptr) {
        DestroyWindow(main_);
    }
    g_app.mainWindow = nullptr;
    g_app.board = nullptr;
    g_app.quiz = nullptr;
    freeQuiz(quiz_);
}

PlayerBoard::PlayerBoard(Quiz* quiz, const char* savedAnswers)
    : folder_("board"), windows_(saving(savedAnswers, quiz)) {}

// Runs between the folder and the windows: the board reads the answers file when it is made.
Quiz* PlayerBoard::saving(const char* savedAnswers, Quiz* quiz) {
    if (savedAnswers != nullptr) {
        writeFile(ownAnswersFile(), savedAnswers);
    }
    return quiz;
}

void PlayerBoard::show(int width, int height) const {
    ShowWindow(main(), SW_SHOWNORMAL);
    ShowWindow(board(), SW_SHOWNORMAL);
    UpdateWindow(main());
    if (width > 0) {
        setBoardClient(board(), width, height);
    }
}

} // namespace test_support
