// Starts the real quizplayer.exe with its built-in quiz and closes it as a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "quiz_process_support.h"

using namespace quiz_process;

namespace {

TEST(PlayerSmoke, OpensTitledWindowAndExitsWithZeroOnClose) {
    Folder folder("smoke");
    RunningPlayer player(playerPath(), folder.path());
    ASSERT_TRUE(player.started()) << "cannot start " << playerPath();
    ASSERT_NE(player.main(), nullptr) << "no \"WindowsApp\" window appeared";
    EXPECT_EQ(textOf(player.main()), "Culture g\xE9n\xE9rale");
    EXPECT_EQ(player.close(), 0) << "the player did not end normally after WM_CLOSE";
}

} // namespace
