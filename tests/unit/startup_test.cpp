#include "startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "archive/archive.h"
#include "operations/build_mode.h"
#include "dialog/control_groups.h"
#include "fake_platform.h"
#include "text/scramble_codec.h"

namespace {

TEST(Startup, BuildModeOnlyForTheExactWordInAnyCase) {
    for (const char* tail : {"build", "BUILD", "Build", "bUiLd"}) EXPECT_TRUE(IsBuildCommand(tail)) << tail;
    for (const char* tail : {"", "build x", "/build", "build ", " build", "buil", "builds", "-build"}) {
        EXPECT_FALSE(IsBuildCommand(tail)) << "[" << tail << "]";
    }
    EXPECT_FALSE(IsBuildCommand(nullptr));
}

std::vector<int> Ids(const ControlGroup& group) {
    std::vector<int> ids;
    for (size_t i = 0; i < group.size(); ++i) ids.push_back(group[i]);
    return ids;
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

TEST(ControlGroupTable, RowsHoldTheControlsOfEachPageInOrder) {
    ControlGroupTable table;
    FillControlGroupTable(table);
    const std::vector<int> buttons{1041, 1042, 1043, 1046, 1047};
    auto withButtons = [&](std::vector<int> ids, bool first) {
        ids.insert(first ? ids.begin() : ids.end(), buttons.begin(), buttons.end());
        return ids;
    };
    EXPECT_EQ(Ids(table[2][0]), withButtons({1019, 1007, 1006, 1020, 1004, 1009, 1005, 1032, 1031}, false));
    EXPECT_EQ(Ids(table[2][1]), withButtons({1045, 1044, 1053, 1055, 1056, 1054, 1063, 1070, 1062, 1064, 1065}, true));
    EXPECT_EQ(Ids(table[2][2]), withButtons({1057, 1058, 1060, 1061, 1059, 1066}, true));
    EXPECT_EQ(Ids(table[2][3]), withButtons({1067, 1068, 1069}, true));
    EXPECT_EQ(Ids(table[2][4]), withButtons({1071, 1072, 1073, 1074, 1075, 1076}, true));
    EXPECT_EQ(Ids(table[3][0]), (std::vector<int>{1029, 1030}));
    // Welcome and Requirements show no page controls; Installation has one group only.
    for (int column = 0; column < kDefaultsCategoryCount; ++column) {
        EXPECT_EQ(table[0][column].size(), 0u);
        EXPECT_EQ(table[1][column].size(), 0u);
        if (column > 0) {
            EXPECT_EQ(table[3][column].size(), 0u);
        }
    }
}

class BuildModeTest : public ::testing::Test, protected FakePlatform {
protected:
    void SetUp() override {
        for (const char* dir : {"e:", "e:\\visual~1", "e:\\visual~1\\projects", "e:\\visual~1\\projects\\setup",
                                "e:\\visual~1\\projects\\setup\\release", "e:\\visual~1\\projects\\KOVA",
                                "e:\\visual~1\\projects\\KOVA\\release"}) {
            files.AddDirectory(dir);
        }
        files.AddFile(kBuildImagePath, std::string(4096, 'I'));
        files.AddFile(kBuildProgramPath, std::string(2000, 'P'));
        files.AddFile(kBuildHelpPath, std::string("help"));
        files.AddFile(kBuildContentsPath, std::string(":Base KOVA.hlp"));
    }
};

TEST_F(BuildModeTest, WritesTheSetupAndTheScrambledCredits) {
    files.AddFile(kBuildCreditsPath, std::string(5000, 'x'));  // a longer old side file
    RunBuildMode(platform);
    EXPECT_TRUE(messages.shown.empty());

    const std::vector<uint8_t> credits = files.Contents(kBuildCreditsPath);
    const std::string& text = strings.Text(21);
    ASSERT_EQ(credits.size(), text.size() + 3);
    const ByteBuffer plain = ScrambleCodec(credits, true, 0);
    EXPECT_EQ(std::string(plain.c_str()), text);

    const std::vector<uint8_t> setup = files.Contents(kBuildOutputPath);
    ASSERT_EQ(setup.size(), 4096u + 28 + 3 * 268 + 2000 + 4 + 14);
    SetupArchive archive;
    ASSERT_EQ(LocateSetupArchive(setup, strings.Text(23), archive), ArchiveStatus::Found);
    EXPECT_EQ(archive.start, 4096u);
    const char* names[] = {"KOVA.exe", "KOVA.hlp", "KOVA.cnt"};
    size_t walked = 0;
    for (ArchiveEntry entry; NextArchiveEntry(archive, entry); ++walked) {
        ASSERT_LT(walked, 3u);
        EXPECT_STREQ(entry.name, names[walked]);
        EXPECT_EQ(entry.destination, 0);
    }
    EXPECT_EQ(walked, 3u);
}

// An old c:\setup.exe goes first, so that a build that fails leaves no setup program behind.
TEST_F(BuildModeTest, MissingInputLeavesNoSetupAndNamesTheInput) {
    for (const char* missing : {kBuildImagePath, kBuildProgramPath, kBuildHelpPath, kBuildContentsPath}) {
        SCOPED_TRACE(missing);
        SetUp();
        files.AddFile(kBuildOutputPath, std::string("an earlier build"));
        files.Delete(missing);
        files.log.clear();
        messages.shown.clear();
        RunBuildMode(platform);
        EXPECT_FALSE(files.HasFile(kBuildOutputPath));
        ASSERT_FALSE(files.log.empty());
        EXPECT_EQ(files.log[0], "delete c:\\setup.exe");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Build Error");
        EXPECT_EQ(messages.shown[0].text, std::string("Build mode could not read \"") + missing +
                                              "\".\nNo setup program was written to " + kBuildOutputPath + ".");
    }
}

}  // namespace
