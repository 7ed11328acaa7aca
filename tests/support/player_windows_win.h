// The player's real windows built inside the test program, as start-up builds them: the
// main window and the board of a quiz made in memory, in a working folder of their own.
#pragma once

#include <windows.h>

#include <string>

#include "content/quiz.h"
#include "resources/resource.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"

namespace test_support {

// The answers file of this test program, as the player names it: its own file name with
// "txt" for the last three characters.
std::string ownAnswersFile();

// The main window and the board of a quiz, made the way start-up makes them (without
// showing them), and destroyed with the quiz at the end of the test.
class PlayerWindows {
  public:
    enum Parts { MAIN_AND_BOARD, MAIN_ONLY };

    explicit PlayerWindows(Quiz* quiz, Parts parts = MAIN_AND_BOARD);
    ~PlayerWindows();
    PlayerWindows(const PlayerWindows&) = delete;
    PlayerWindows& operator=(const PlayerWindows&) = delete;

    HWND main() const { return main_; }
    HWND board() const { return board_; }
    Quiz* quiz() const { return quiz_; }

  private:
    Quiz* quiz_;
    HWND main_ = nullptr;
    HWND board_ = nullptr;
};

// The usual start of a board test: a working folder of its own, holding `savedAnswers` as
// the answers file when given, and the quiz's windows in it; with readers for the board's
// fields and labels and the header's score and code.
class PlayerBoard {
  public:
    explicit PlayerBoard(Quiz* quiz, const char* savedAnswers = nullptr);

    HWND main() const { return windows_.main(); }
    HWND board() const { return windows_.board(); }
    Quiz* quiz() const { return windows_.quiz(); }
    const PlayerWindows& windows() const { return windows_; }

    HWND field(int k) const { return GetDlgItem(board(), answerFieldId(k)); }
    std::string fieldText(int k) const { return textOf(field(k)); }
    std::string verdict(int k) const { return itemText(board(), verdictLabelId(answerFieldId(k))); }
    std::string reveal(int q) const { return itemText(board(), revealLabelId(q)); }
    std::string score() const { return itemText(main(), ID_SCORE_BOX); }
    std::string code() const { return itemText(main(), ID_CODE_BOX); }

    // Shows both windows (ScrollWindow moves nothing on a hidden board) and, when given a
    // size, sizes the board so that its client area is width x height.
    void show(int width = 0, int height = 0) const;

  private:
    static Quiz* saving(const char* savedAnswers, Quiz* quiz);

    WorkingFolder folder_;
    PlayerWindows windows_;
};

} // namespace test_support
