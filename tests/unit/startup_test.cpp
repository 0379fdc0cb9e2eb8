#include "startup.h"

#include <gtest/gtest.h>

namespace {

TEST(Startup, BuildModeOnlyForTheExactWordInAnyCase) {
    for (const char* tail : {"build", "BUILD", "Build", "bUiLd"}) EXPECT_TRUE(IsBuildCommand(tail)) << tail;
    for (const char* tail : {"", "build x", "/build", "build ", " build", "buil", "builds", "-build"}) {
        EXPECT_FALSE(IsBuildCommand(tail)) << "[" << tail << "]";
    }
    EXPECT_FALSE(IsBuildCommand(nullptr));
}

TEST(Startup, CommandTailFollowsTheProgramName) {
    const struct {
        const char* commandLine;
        const char* tail;
    } cases[] = {
        {"\"C:\\Downloads\\My Setup\\Setup.exe\" build", "build"},
        {"\"C:\\Setup.exe\"build", "build"},
        {"C:\\Setup.exe  \t build now", "build now"},
        {"Setup.exe", ""},
        {"\"C:\\unterminated build", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_STREQ(CommandTail(c.commandLine), c.tail) << c.commandLine;
    EXPECT_STREQ(CommandTail(nullptr), "");
}

}  // namespace
