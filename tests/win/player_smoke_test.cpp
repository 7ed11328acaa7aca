// Starts the real quizplayer.exe with its built-in quiz and closes it as a user would.
#include <gtest/gtest.h>

#include "tests/support/programs.h"
#include "tests/support/running_player_win.h"
#include "tests/support/temp_folder.h"
#include "tests/support/windows_win.h"

using namespace test_support;

namespace {

TEST(PlayerSmoke, OpensTitledWindowAndExitsWithZeroOnClose) {
    TempFolder folder("smoke");
    RunningPlayer player(playerPath(), folder.path());
    ASSERT_TRUE(player.started()) << "cannot start " << playerPath();
    ASSERT_NE(player.main(), nullptr) << "no \"WindowsApp\" window appeared";
    EXPECT_EQ(textOf(player.main()), "Culture g\xE9n\xE9rale");
    EXPECT_EQ(player.close(), 0) << "the player did not end normally after WM_CLOSE";
}

} // namespace
