#include "operations/uninstall.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "configuration/setup_dialog_record.h"
#include "fake_desktop.h"
#include "fake_platform.h"
#include "operations/install.h"
#include "resources/resource_ids.h"
#include "setup_image.h"

namespace {

struct Key {
    RegRoot root;
    const char* path;
};

// The keys, in the order and letter case in which they are deleted: the shell verbs, the entry of
// Windows' list of installed programs, then (after the files) the configuration.
const Key kKeys[] = {
    {RegRoot::ClassesRoot, "Directory\\shell\\print\\command"},
    {RegRoot::ClassesRoot, "Directory\\shell\\print"},
    {RegRoot::ClassesRoot, "Directory\\shell\\Print with Filter...\\command"},
    {RegRoot::ClassesRoot, "Directory\\shell\\Print with Filter..."},
    {RegRoot::ClassesRoot, "Drive\\shell\\print\\command"},
    {RegRoot::ClassesRoot, "Drive\\shell\\print"},
    {RegRoot::ClassesRoot, "Drive\\shell\\Print with Filter...\\command"},
    {RegRoot::ClassesRoot, "Drive\\shell\\Print with Filter..."},
    {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA"},
    {RegRoot::LocalMachine, "Software\\KOVA"},
};
constexpr size_t kKeyCount = std::size(kKeys);

const char* const kPayload[] = {"KOVA.exe", "KOVA.hlp", "KOVA.cnt"};

std::string DeleteLine(const Key& key) {
    return std::string("delete ") + (key.root == RegRoot::LocalMachine ? "HKLM\\" : "HKCR\\") + key.path;
}

void Append(std::vector<uint8_t>& out, std::span<const uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A setup image followed by an archive that carries the three payload files.
std::vector<uint8_t> SetupWithPayload(const std::string& marker) {
    std::vector<uint8_t> file = MinimalSetupImage();
    std::array<uint8_t, kArchiveHeaderSize> header{};
    EXPECT_TRUE(WriteArchiveHeader(header, marker, static_cast<uint32_t>(std::size(kPayload))));
    Append(file, header);
    for (const char* name : kPayload) {
        std::array<uint8_t, kEntrySize> entry{};
        EXPECT_TRUE(WriteArchiveEntry(entry, 0, 4, name));
        Append(file, entry);
    }
    for (size_t i = 0; i < std::size(kPayload); ++i) Append(file, std::vector<uint8_t>(4, 'B'));
    return file;
}

class Uninstall : public ::testing::Test, protected FakePlatform {
protected:
    void SetUp() override {
        for (const Key& key : kKeys) registry.AddKey(key.root, key.path);
        registry.AddBinary(RegRoot::LocalMachine, "Software\\KOVA", "config", std::vector<uint8_t>(kSetupDialogSize));
        registry.AddString(RegRoot::ClassesRoot, "KOVA\\DefaultIcon", "", "C:\\KOVA\\KOVA.exe,0");
        InstallAt("C:\\KOVA");
        files.ownExecutable = SetupWithPayload(strings.Text(IDS_ARCHIVE_MARKER));
    }

    void InstallAt(const std::string& directory) {
        record = SetupDialog{};
        std::strcpy(record.installationDirectory, directory.c_str());
        files.AddDirectory(directory);
        for (const char* name : kPayload) files.AddFile(directory + "\\" + name, std::string("BBBB"));
        files.AddFile(directory + "\\Setup.exe", std::string("setup"));
    }

    bool Remove() { return RemoveInstallation(platform, launcher, quit, record); }

    std::vector<std::string> Deletions() const {
        std::vector<std::string> deletions;
        for (const std::string& line : registry.log) {
            if (line.rfind("delete ", 0) == 0) deletions.push_back(line);
        }
        return deletions;
    }

    std::vector<std::string> ExpectedDeletions(size_t count) const {
        std::vector<std::string> lines;
        for (size_t i = 0; i < count; ++i) lines.push_back(DeleteLine(kKeys[i]));
        return lines;
    }

    bool PayloadPresent(const std::string& directory) const {
        for (const char* name : kPayload) {
            if (!files.HasFile(directory + "\\" + name)) return false;
        }
        return true;
    }

    std::string Uninstalled(const std::string& directory) const {
        std::string text = strings.Text(IDS_UNINSTALLED);
        return text.replace(text.find("%s"), 2, directory);
    }

    // The files go after every key but the configuration, which names their directory. The record of
    // the uninstall under way goes with the error: no start repeats it by itself.
    void ExpectStoppedWithError(size_t keysDeleted) {
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, strings.Text(IDS_UNINSTALL_FAILED));
        EXPECT_EQ(messages.shown[0].caption, "Error");
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok);
        for (size_t i = 0; i < kKeyCount; ++i)
            EXPECT_EQ(registry.HasKey(kKeys[i].root, kKeys[i].path), i >= keysDeleted) << i;
        EXPECT_EQ(PayloadPresent("C:\\KOVA"), keysDeleted < kKeyCount - 1);
        EXPECT_EQ(registry.Dword(RegRoot::LocalMachine, "Software\\KOVA", "Unfinished"), std::nullopt);
        EXPECT_TRUE(quit.posted.empty());
        EXPECT_TRUE(launcher.started.empty());
    }

    FakeLauncher launcher;
    FakeQuit quit;
    SetupDialog record{};
};

TEST_F(Uninstall, RemovesKeysInOrderThenFilesThenAsksAndQuits) {
    messages.answers = {kAnswerNo};
    EXPECT_TRUE(Remove());
    EXPECT_EQ(Deletions(), ExpectedDeletions(kKeyCount));
    for (const Key& key : kKeys) EXPECT_FALSE(registry.HasKey(key.root, key.path)) << key.path;
    EXPECT_TRUE(registry.HasKey(RegRoot::ClassesRoot, "KOVA\\DefaultIcon"));
    for (const char* name : kPayload) EXPECT_FALSE(files.HasFile(std::string("C:\\KOVA\\") + name)) << name;
    EXPECT_TRUE(files.HasFile("C:\\KOVA\\Setup.exe"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, Uninstalled("C:\\KOVA"));
    EXPECT_EQ(messages.shown[0].caption, "Success");
    EXPECT_EQ(messages.shown[0].style, MessageStyle::YesNo);
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(quit.posted, std::vector<int>{0});
}

// Explorer starts by its full path under the Windows directory, never by a bare name that would
// find a program saved beside the setup; a drive root is passed as "D:\." so that its backslash
// does not escape the closing quote.
TEST_F(Uninstall, YesOpensTheQuotedDirectoryInExplorer) {
    const std::string explorer = "\"C:\\WINDOWS\\explorer.exe\" ";
    struct Case {
        std::string directory;
        std::string argument;
    };
    const Case cases[] = {
        {"C:\\KOVA", "\"C:\\KOVA\""},
        {"C:\\Program Files\\KOVA Print", "\"C:\\Program Files\\KOVA Print\""},
        {"C:\\" + std::string(180, 'k'), "\"C:\\" + std::string(180, 'k') + "\""},
        {"D:\\", "\"D:\\.\""},
    };
    for (const Case& c : cases) {
        const std::string& directory = c.directory;
        SCOPED_TRACE(directory);
        SetUp();
        InstallAt(directory);
        launcher.started.clear();
        quit.posted.clear();
        messages.shown.clear();
        messages.answers = {kAnswerYes};
        EXPECT_TRUE(Remove());
        EXPECT_EQ(launcher.started, std::vector<std::string>{explorer + c.argument});
        EXPECT_EQ(quit.posted, std::vector<int>{0});
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, Uninstalled(directory));
    }
}

TEST_F(Uninstall, KeyThatCannotBeDeletedStopsThereWithTheErrorBox) {
    for (size_t failing = 0; failing < kKeyCount; ++failing) {
        SCOPED_TRACE(kKeys[failing].path);
        registry = FakeRegistry();
        SetUp();
        messages.shown.clear();
        registry.DenyDelete(kKeys[failing].root, kKeys[failing].path);
        EXPECT_FALSE(Remove());
        EXPECT_EQ(Deletions(), ExpectedDeletions(failing + 1));
        ExpectStoppedWithError(failing);
    }
}

TEST_F(Uninstall, NoRightToDeleteUnderClassesRootRemovesNothing) {
    for (const Key& key : kKeys) {
        if (key.root == RegRoot::ClassesRoot) registry.DenyWrite(key.root, key.path);
    }
    EXPECT_FALSE(Remove());
    ExpectStoppedWithError(0);
    EXPECT_TRUE(registry.Binary(RegRoot::LocalMachine, "Software\\KOVA", "config").has_value());
}

TEST_F(Uninstall, KeysAlreadyGoneCountAsDeleted) {
    struct Case {
        const char* name;
        std::vector<size_t> missing;
    };
    const Case cases[] = {
        {"first shell key removed by hand", {0}},
        {"a key in the middle removed by hand", {4, 5}},
        {"every shell key gone", {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registry = FakeRegistry();
        SetUp();
        messages.shown.clear();
        quit.posted.clear();
        for (size_t index : c.missing)
            ASSERT_EQ(registry.DeleteKey(kKeys[index].root, kKeys[index].path), RegDeleteResult::Deleted);
        EXPECT_TRUE(Remove());
        for (const Key& key : kKeys) EXPECT_FALSE(registry.HasKey(key.root, key.path)) << key.path;
        EXPECT_FALSE(PayloadPresent("C:\\KOVA"));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Success");
        EXPECT_EQ(quit.posted, std::vector<int>{0});
    }
}

TEST_F(Uninstall, SecondPressFinishesAnUninstallThatStoppedHalfway) {
    registry.failOp = RegOp::DeleteKey;
    registry.failPath = "Software\\KOVA";
    EXPECT_FALSE(Remove());
    ExpectStoppedWithError(kKeyCount - 1);

    registry.failOp.reset();
    messages.shown.clear();
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, "Software\\KOVA"));
    EXPECT_FALSE(PayloadPresent("C:\\KOVA"));
    EXPECT_EQ(quit.posted, std::vector<int>{0});
}

// Without a payload it can read, the uninstall says so and goes on: the keys are gone, and string 14
// with the offer to open Explorer lets the user delete the files by hand.
TEST_F(Uninstall, SetupWithoutReadablePayloadSaysSoAndFinishes) {
    enum class Own { NoPayload, Damaged, Unreadable };
    for (Own own : {Own::NoPayload, Own::Damaged, Own::Unreadable}) {
        SCOPED_TRACE(int(own));
        registry = FakeRegistry();
        files = FakeFileSystem();
        messages.shown.clear();
        launcher.started.clear();
        quit.posted.clear();
        SetUp();
        if (own == Own::NoPayload) files.ownExecutable.resize(512);
        if (own == Own::Damaged) files.ownExecutable.pop_back();  // the last body runs past the end of the file
        if (own == Own::Unreadable) files.failOp = FileOp::ReadOwn;
        messages.answers = {kAnswerOk, kAnswerYes};
        EXPECT_TRUE(Remove());
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_THAT(messages.shown[0].text, ::testing::StartsWith("Error: SETUP "));
        EXPECT_EQ(messages.shown[1].caption, "Success");
        EXPECT_EQ(launcher.started.size(), 1u);
        EXPECT_TRUE(PayloadPresent("C:\\KOVA"));
        for (const Key& key : kKeys) EXPECT_FALSE(registry.HasKey(key.root, key.path)) << key.path;
        EXPECT_EQ(quit.posted, std::vector<int>{0});
    }
}

TEST_F(Uninstall, FileThatStaysEndsWithItsMessageAndNoSuccessBox) {
    files.failOp = FileOp::Delete;
    files.failPath = "C:\\KOVA\\KOVA.exe";
    EXPECT_TRUE(Remove());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error: these files could not be deleted and are left in place:\nC:\\KOVA\\KOVA.exe\n\n"
              "KOVA's registry entries are removed. Please delete the files by hand, with the copy of SETUP in "
              "C:\\KOVA. KOVA NOT fully removed!");
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(quit.posted, std::vector<int>{0});
}

}  // namespace
