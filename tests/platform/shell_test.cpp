// Handing command lines to the system, against the real process start.
#include "platform/shell.h"

#include <gtest/gtest.h>

namespace {

TEST(PlatformShell, StartingAProgramThatDoesNotExistFailsWithoutWaiting) {
    EXPECT_FALSE(platform::start_program("Qlk_no_such_editor.exe C:\\nothing.txt", 1));
    EXPECT_TRUE(platform::start_program("cmd.exe /c exit 0", 0));
}

} // namespace
