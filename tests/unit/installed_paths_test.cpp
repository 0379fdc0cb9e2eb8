#include "operations/installed_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(InstalledPaths, CommandAndIconStrings) {
    struct Case {
        const char* directory;
        const char* command;
        const char* icon;
    };
    const Case cases[] = {
        {"C:\\KOVA", "\"C:\\KOVA\\KOVA.exe\" dir=\"%1\"", "C:\\KOVA\\KOVA.exe,0"},
        {"C:\\Program Files\\KOVA", "\"C:\\Program Files\\KOVA\\KOVA.exe\" dir=\"%1\"",
         "C:\\Program Files\\KOVA\\KOVA.exe,0"},
        {"C:\\", "\"C:\\KOVA.exe\" dir=\"%1\"", "C:\\KOVA.exe,0"},
        {"C:\\KOVA\\", "\"C:\\KOVA\\KOVA.exe\" dir=\"%1\"", "C:\\KOVA\\KOVA.exe,0"},
        {"\\\\server\\share", "\"\\\\server\\share\\KOVA.exe\" dir=\"%1\"", "\\\\server\\share\\KOVA.exe,0"},
    };
    for (const Case& c : cases) {
        char out[kMaxPath];
        ASSERT_TRUE(BuildCommandString(out, c.directory, false));
        EXPECT_STREQ(out, c.command);
        ASSERT_TRUE(BuildCommandString(out, c.directory, true));
        EXPECT_EQ(std::string(out), std::string(c.command) + " mode=filtered");
        ASSERT_TRUE(BuildIconString(out, c.directory));
        EXPECT_STREQ(out, c.icon);
    }
}

TEST(InstalledPaths, StringsThatWouldNotFitAreRefusedWhole) {
    char out[kMaxPath];
    const std::string longest(kMaxInstallDirectoryLength, 'd');
    ASSERT_TRUE(BuildCommandString(out, longest.c_str(), true));
    EXPECT_EQ(std::strlen(out), kMaxPath - 1);
    const std::string tooLong = longest + "d";
    EXPECT_FALSE(BuildCommandString(out, tooLong.c_str(), true));
    EXPECT_STREQ(out, "");
    EXPECT_TRUE(BuildTargetPath(out, std::string(249, 'd').c_str(), "Setup.exe"));
    EXPECT_FALSE(BuildTargetPath(out, std::string(250, 'd').c_str(), "Setup.exe"));
    EXPECT_STREQ(out, "");
}

TEST(InstalledPaths, TargetPathsJoinWithOneBackslash) {
    char out[kMaxPath];
    ASSERT_TRUE(BuildTargetPath(out, "C:\\", "KOVA.hlp"));
    EXPECT_STREQ(out, "C:\\KOVA.hlp");
    ASSERT_TRUE(BuildTargetPath(out, "D:\\Tools\\KOVA", "Setup.exe"));
    EXPECT_STREQ(out, "D:\\Tools\\KOVA\\Setup.exe");
}

}  // namespace
