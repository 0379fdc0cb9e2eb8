#include "operations/build_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive.h"
#include "fake_platform.h"
#include "resources/resource_ids.h"
#include "setup_image.h"
#include "text/scramble_codec.h"

namespace {

class BuildModeTest : public ::testing::Test, protected FakePlatform {
protected:
    void SetUp() override {
        for (const char* dir : {"e:", "e:\\visual~1", "e:\\visual~1\\projects", "e:\\visual~1\\projects\\setup",
                                "e:\\visual~1\\projects\\setup\\release", "e:\\visual~1\\projects\\KOVA",
                                "e:\\visual~1\\projects\\KOVA\\release"}) {
            files.AddDirectory(dir);
        }
        files.AddFile(kBuildImagePath, MinimalSetupImage(4096));
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
    const std::string& text = strings.Text(IDS_CREDITS);
    ASSERT_EQ(credits.size(), text.size() + 3);
    const ByteBuffer plain = ScrambleCodec(credits, true, 0);
    EXPECT_EQ(std::string(plain.c_str()), text);

    const std::vector<uint8_t> setup = files.Contents(kBuildOutputPath);
    ASSERT_EQ(setup.size(), 4096u + 28 + 3 * 268 + 2000 + 4 + 14);
    SetupArchive archive;
    ASSERT_EQ(LocateSetupArchive(setup, strings.Text(IDS_ARCHIVE_MARKER), archive), ArchiveStatus::Found);
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
