// A quiz executable as players meet it: started as a separate process in a folder of its
// own and driven from outside through its windows.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/windows_win.h"

namespace test_support {

// A quiz executable running in `folder` (its working directory), found by its main window.
// The main window is shown, and its board made visible, only once every control is made and
// graded (a video board makes its players first): input sent earlier would reach a half-made
// board, so the constructor waits for both, or for the main window alone when asked to (a
// board held up by a message box, say).
class RunningPlayer {
  public:
    enum Wait { UNTIL_BOARD_SHOWN, UNTIL_MAIN_WINDOW };

    RunningPlayer(const std::string& exe, const std::filesystem::path& folder,
                  Wait wait = UNTIL_BOARD_SHOWN);
    ~RunningPlayer();
    RunningPlayer(const RunningPlayer&) = delete;
    RunningPlayer& operator=(const RunningPlayer&) = delete;

    bool started() const { return started_; }
    DWORD processId() const { return process_.dwProcessId; }
    HWND main() const { return main_; }
    HWND board() const { return board_; }
    std::string boardText(int id) const { return itemText(board_, id); }
    std::string mainText(int id) const { return itemText(main_, id); }

    // Clicks into field k, selects what it holds and types over it character by character,
    // then clicks into field `next`: leaving a field grades it.
    void type(int k, const std::string& text, int next) const;

    // Waits until control `id` of the board reads `expected` (the player works through its
    // posted messages on its own time); returns what it last read.
    std::string waitForBoardText(int id, const std::string& expected) const;

    // A click on the board's button `id`.
    void click(int id) const { test_support::click(board_, id); }

    // The board's MCI windows.
    std::vector<HWND> mciWindows() const { return childrenOfClass(board_, "MCIWndClass"); }

    // Closes the window as the user would; the exit code, or -1 if the player did not end.
    long close();
    long exitCode();

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    HWND board_ = nullptr;
};

} // namespace test_support
