#include "operations/install.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "fake_platform.h"
#include "operations/installed_paths.h"
#include "operations/shared_files.h"
#include "operations/uninstall_entry.h"
#include "setup_image.h"

namespace {

using ::testing::AnyOf;
using ::testing::Eq;
using ::testing::StartsWith;

using Bytes = std::vector<uint8_t>;

struct PayloadFile {
    std::string name;
    Bytes body;
    uint8_t destination = 0;
};

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// An image followed by an archive holding `payload`, as build mode lays it out.
Bytes SetupFile(const std::string& marker, const std::vector<PayloadFile>& payload) {
    Bytes file = MinimalSetupImage();
    std::array<uint8_t, kArchiveHeaderSize> header{};
    WriteArchiveHeader(header, marker, static_cast<uint32_t>(payload.size()));
    file.insert(file.end(), header.begin(), header.end());
    for (const PayloadFile& entry : payload) {
        std::array<uint8_t, kEntrySize> record{};
        WriteArchiveEntry(record, entry.destination, static_cast<uint32_t>(entry.body.size()), entry.name);
        file.insert(file.end(), record.begin(), record.end());
    }
    for (const PayloadFile& entry : payload) file.insert(file.end(), entry.body.begin(), entry.body.end());
    return file;
}

using Mode = InstallMode;

const char* ModeName(Mode mode) {
    return mode == Mode::Install ? "install" : mode == Mode::Upgrade ? "upgrade" : "remove";
}

// The word the error boxes end with: "KOVA NOT installed!", "KOVA NOT fully upgraded!" ...
std::string Outcome(Mode mode) {
    return mode == Mode::Install ? "installed" : mode == Mode::Upgrade ? "upgraded" : "removed";
}

constexpr char kDir[] = "C:\\Program Files\\KOVA";

const char* const kShellKeys[] = {
    "Directory\\shell\\Print\\Command",
    "Drive\\shell\\Print\\Command",
    "Directory\\shell\\Print with Filter...\\Command",
    "Drive\\shell\\Print with Filter...\\Command",
    "KOVA\\DefaultIcon",
};

class InstallTest : public ::testing::Test, protected FakePlatform {
protected:
    InstallTest() {
        payload = {{"KOVA.exe", Text("kova program")}, {"KOVA.hlp", Text("help text")}, {"KOVA.cnt", Text("contents")}};
        registry.AddBinary(RegRoot::LocalMachine, "Software\\KOVA", "config", Bytes(1644, 0));
    }

    void Pack() { files.ownExecutable = SetupFile(strings.Text(23), payload); }

    bool Run(Mode mode, const char* directory = kDir) {
        if (files.ownExecutable.empty()) Pack();
        return InstallFiles(platform, directory, mode);
    }

    void AddInstalledFiles(const std::string& directory = kDir) {
        files.AddDirectory("C:\\Program Files");
        files.AddDirectory(directory);
        for (const PayloadFile& entry : payload) {
            if (entry.destination == 0) files.AddFile(directory + "\\" + entry.name, "old " + entry.name);
        }
    }

    bool ConfigurationKept() const { return registry.HasKey(RegRoot::LocalMachine, "Software\\KOVA"); }

    // A fresh registry holding only the configuration key, in which `op` on the key `path` fails.
    void FailRegistryAt(RegOp op, const char* path) {
        registry = FakeRegistry();
        registry.AddKey(RegRoot::LocalMachine, "Software\\KOVA");
        registry.failOp = op;
        registry.failPath = path;
        messages.shown.clear();
    }

    std::vector<PayloadFile> payload;
};

TEST_F(InstallTest, InstallWritesFilesSetupCopyShellEntriesAndReportsSuccess) {
    ASSERT_TRUE(Run(Mode::Install));

    EXPECT_TRUE(files.HasDirectory("C:\\Program Files"));
    EXPECT_TRUE(files.HasDirectory(kDir));
    for (const PayloadFile& entry : payload)
        EXPECT_EQ(files.Contents(std::string(kDir) + "\\" + entry.name), entry.body) << entry.name;
    EXPECT_EQ(files.Contents(std::string(kDir) + "\\Setup.exe"), files.ownExecutable);
    EXPECT_EQ(files.OpenHandles(), 0u);

    const std::string command = "\"C:\\Program Files\\KOVA\\KOVA.exe\" dir=\"%1\"";
    const std::string expected[] = {command, command, command + " mode=filtered", command + " mode=filtered",
                                    "C:\\Program Files\\KOVA\\KOVA.exe,0"};
    std::vector<std::string> expectedLog;
    for (size_t i = 0; i < std::size(kShellKeys); ++i) {
        EXPECT_EQ(registry.String(RegRoot::ClassesRoot, kShellKeys[i], ""), expected[i]) << kShellKeys[i];
        const std::string key = std::string("HKCR\\") + kShellKeys[i];
        expectedLog.insert(expectedLog.end(),
                           {"create " + key + " 0xf003f", "setstring " + key + " (default)", "close " + key});
    }
    std::vector<std::string> shellLog;
    std::copy_if(registry.log.begin(), registry.log.end(), std::back_inserter(shellLog),
                 [](const std::string& line) { return line.find(" HKCR\\") != std::string::npos; });
    EXPECT_EQ(shellLog, expectedLog);
    EXPECT_TRUE(ConfigurationKept());

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, strings.Text(20));
    EXPECT_EQ(messages.shown[0].caption, "KOVA Installer");
    EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok | MessageStyle::IconInformation);
}

// Windows' list of installed programs shows KOVA after an install, and an upgrade's refresh brings
// its version and size up to date.
TEST_F(InstallTest, InstallAndUpgradeListKovaAmongInstalledPrograms) {
    const auto value = [&](const char* name) {
        return registry.String(RegRoot::LocalMachine, kUninstallEntryKey, name);
    };
    ASSERT_TRUE(Run(Mode::Install));
    EXPECT_EQ(value("DisplayName"), "KOVA");
    EXPECT_EQ(value("DisplayVersion"), strings.Text(26));
    EXPECT_EQ(value("DisplayIcon"), "C:\\Program Files\\KOVA\\Setup.exe,0");
    EXPECT_EQ(value("InstallLocation"), kDir);
    EXPECT_EQ(value("UninstallString"), "\"C:\\Program Files\\KOVA\\Setup.exe\"");
    EXPECT_EQ(value("Publisher"), std::nullopt);
    EXPECT_EQ(registry.Dword(RegRoot::LocalMachine, kUninstallEntryKey, "NoRepair"), 1u);
    EXPECT_EQ(registry.Dword(RegRoot::LocalMachine, kUninstallEntryKey, "NoModify"), std::nullopt);
    // The payload (29 bytes) and the Setup.exe copy, rounded up to whole KiB.
    EXPECT_EQ(registry.Dword(RegRoot::LocalMachine, kUninstallEntryKey, "EstimatedSize"),
              (files.ownExecutable.size() + 29 + 1023) / 1024);

    registry.AddString(RegRoot::LocalMachine, kUninstallEntryKey, "DisplayVersion", "1.0a");
    payload.push_back({"KOVA.dat", Bytes(5000, 'd')});
    Pack();
    ASSERT_TRUE(Run(Mode::Upgrade));
    EXPECT_EQ(value("DisplayVersion"), strings.Text(26));
    EXPECT_EQ(registry.Dword(RegRoot::LocalMachine, kUninstallEntryKey, "EstimatedSize"),
              (files.ownExecutable.size() + 5029 + 1023) / 1024);
}

// An entry that cannot be written fails the install like a shell verb: reported, and nothing of
// the list entry or the configuration is left for a half-installed KOVA.
TEST_F(InstallTest, ListEntryFailureIsReportedAndLeavesNoEntry) {
    for (RegOp op : {RegOp::Create, RegOp::SetString, RegOp::SetDword}) {
        SCOPED_TRACE(int(op));
        FailRegistryAt(op, kUninstallEntryKey);

        EXPECT_FALSE(Run(Mode::Install));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(
            messages.shown[0].text,
            "Error: the registry key HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KOVA "
            "could not be written, so KOVA is missing from Windows' list of installed programs. KOVA NOT fully "
            "installed!");
        EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, kUninstallEntryKey));
        EXPECT_FALSE(ConfigurationKept());
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST_F(InstallTest, InstallCreatesEveryMissingDirectoryFromTheLeft) {
    ASSERT_TRUE(Run(Mode::Install, "C:\\a\\b\\c"));
    const std::vector<std::string> mkdirs(files.log.begin(), files.log.begin() + 4);
    EXPECT_EQ(mkdirs, (std::vector<std::string>{"mkdir c:", "mkdir c:\\a", "mkdir c:\\a\\b", "mkdir c:\\a\\b\\c"}));
    EXPECT_EQ(files.Contents("C:\\a\\b\\c\\KOVA.exe"), payload[0].body);
}

TEST_F(InstallTest, ExistingFilesAreReplacedWithoutStaleBytes) {
    for (Mode mode : {Mode::Install, Mode::Upgrade}) {
        SCOPED_TRACE(ModeName(mode));
        FakeFileSystem fresh;
        files = std::move(fresh);
        AddInstalledFiles();
        files.AddFile(std::string(kDir) + "\\Setup.exe", Bytes(5000, 0xEE));
        files.ownExecutable.clear();
        ASSERT_TRUE(Run(mode));
        for (const PayloadFile& entry : payload)
            EXPECT_EQ(files.Contents(std::string(kDir) + "\\" + entry.name), entry.body);
        EXPECT_EQ(files.Contents(std::string(kDir) + "\\Setup.exe"), files.ownExecutable);
    }
}

TEST_F(InstallTest, UpgradeRewritesFilesAndListEntryOnlyAndStaysSilent) {
    AddInstalledFiles();
    ASSERT_TRUE(Run(Mode::Upgrade));
    for (const PayloadFile& entry : payload)
        EXPECT_EQ(files.Contents(std::string(kDir) + "\\" + entry.name), entry.body);
    EXPECT_EQ(files.Contents(std::string(kDir) + "\\Setup.exe"), files.ownExecutable);
    // The list entry, then the removal of the record of the refresh under way.
    const std::vector<std::string> recordDone = {
        "open HKLM\\Software\\KOVA 0x2", "deletevalue HKLM\\Software\\KOVA Unfinished", "close HKLM\\Software\\KOVA"};
    ASSERT_GT(registry.log.size(), recordDone.size());
    const auto entryEnd = registry.log.end() - static_cast<std::ptrdiff_t>(recordDone.size());
    for (auto line = registry.log.begin(); line != entryEnd; ++line)
        EXPECT_THAT(*line, ::testing::HasSubstr(kUninstallEntryKey));
    EXPECT_EQ(std::vector<std::string>(entryEnd, registry.log.end()), recordDone);
    EXPECT_TRUE(messages.shown.empty());
}

// A directory removed by hand would otherwise fail the refresh at every start.
TEST_F(InstallTest, UpgradeMakesADirectoryRemovedByHand) {
    ASSERT_TRUE(Run(Mode::Upgrade, "C:\\Gone\\KOVA"));
    for (const PayloadFile& entry : payload) EXPECT_EQ(files.Contents("C:\\Gone\\KOVA\\" + entry.name), entry.body);
    EXPECT_EQ(files.Contents("C:\\Gone\\KOVA\\Setup.exe"), files.ownExecutable);
    EXPECT_TRUE(messages.shown.empty());
}

// Started from the copy an earlier install left, the program cannot write over its own file: the
// copy is in place already, whatever spelling of the path names it.
TEST_F(InstallTest, RunningFromTheKeptCopyLeavesItAndCompletes) {
    for (Mode mode : {Mode::Install, Mode::Upgrade}) {
        SCOPED_TRACE(ModeName(mode));
        FakeFileSystem freshFiles;
        files = std::move(freshFiles);
        AddInstalledFiles();
        files.AddFile(std::string(kDir) + "\\Setup.exe", "the kept copy");
        files.ownExecutablePaths = {"C:\\PROGRA~1\\KOVA\\SETUP.EXE", "c:\\program files\\kova\\setup.exe"};
        messages.shown.clear();

        ASSERT_TRUE(Run(mode));
        for (const PayloadFile& entry : payload)
            EXPECT_EQ(files.Contents(std::string(kDir) + "\\" + entry.name), entry.body);
        EXPECT_EQ(files.Contents(std::string(kDir) + "\\Setup.exe"), Text("the kept copy"));
        EXPECT_TRUE(ConfigurationKept());
        if (mode == Mode::Install) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, strings.Text(20));
            EXPECT_EQ(registry.String(RegRoot::ClassesRoot, "KOVA\\DefaultIcon", ""),
                      "C:\\Program Files\\KOVA\\KOVA.exe,0");
        } else {
            EXPECT_TRUE(messages.shown.empty());
        }
    }
}

// The own file that cannot be read (a path this system cannot spell) is not taken for a setup
// without payload: the message says what went wrong.
TEST_F(InstallTest, OwnFileThatCannotBeReadIsReportedAsSuch) {
    for (Mode mode : {Mode::Install, Mode::Upgrade, Mode::Remove}) {
        SCOPED_TRACE(ModeName(mode));
        files.failOp = FileOp::ReadOwn;
        messages.shown.clear();
        EXPECT_FALSE(Run(mode));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Error: SETUP could not read its own program file, which carries the KOVA files. Copy SETUP to a "
                  "folder with a plain name, such as C:\\Temp, and start it from there. KOVA NOT " +
                      Outcome(mode) + "!");
        EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
        EXPECT_TRUE(files.log.empty());
    }
}

// The own file is read a window at a time (1 MiB): a body larger than that is written whole, and
// a read that fails part-way is reported as such; the partly written file is deleted again.
TEST_F(InstallTest, BodyLargerThanTheReadWindowAndReadFailurePartWay) {
    Bytes big(2621440 + 7);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 131 + i / 4099);
    payload = {{"KOVA.exe", big}, {"KOVA.hlp", Text("help text")}};
    Pack();
    ASSERT_TRUE(Run(Mode::Install));
    EXPECT_EQ(files.Contents(std::string(kDir) + "\\KOVA.exe"), big);
    EXPECT_EQ(files.Contents(std::string(kDir) + "\\Setup.exe"), files.ownExecutable);
    EXPECT_GT(files.ownReads, 2u);

    for (const uint64_t failing : {uint64_t{1} << 20, files.ownExecutable.size() - 3}) {
        SCOPED_TRACE(failing);
        files = FakeFileSystem();
        Pack();
        files.failOwnReadAt = failing;
        messages.shown.clear();
        EXPECT_FALSE(Run(Mode::Install));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Error: SETUP could not read its own program file, which carries the KOVA files. Copy SETUP to a "
                  "folder with a plain name, such as C:\\Temp, and start it from there. KOVA NOT installed!");
        EXPECT_FALSE(files.HasFile(std::string(kDir) + "\\KOVA.exe"));
        EXPECT_FALSE(files.HasFile(std::string(kDir) + "\\Setup.exe"));
        EXPECT_EQ(files.OpenHandles(), 0u);
        EXPECT_FALSE(registry.HasKey(RegRoot::LocalMachine, "Software\\KOVA"));
    }
}

TEST_F(InstallTest, RemoveDeletesPayloadOnlyAndPassesOverMissingFiles) {
    AddInstalledFiles();
    files.AddFile(std::string(kDir) + "\\Setup.exe", "setup");
    ASSERT_TRUE(files.Delete((std::string(kDir) + "\\KOVA.hlp").c_str()));
    files.log.clear();

    ASSERT_TRUE(Run(Mode::Remove));
    for (const PayloadFile& entry : payload) EXPECT_FALSE(files.HasFile(std::string(kDir) + "\\" + entry.name));
    EXPECT_TRUE(files.HasFile(std::string(kDir) + "\\Setup.exe"));
    EXPECT_TRUE(files.HasDirectory(kDir));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(registry.log.empty());
}

// A system-directory file is shared: an installation counts itself as one user under SharedDLLs
// (a file already there without a count has had one user before), an upgrade's refresh does not
// count again, and an uninstall deletes the file only when its count reaches zero. An install that
// fails after counting puts the file and its count back as it found them.
TEST_F(InstallTest, SystemDirectoryFilesAreReferenceCounted) {
    payload.push_back({"kovahelp.dll", Text("new shared library"), 1});
    const std::string systemFile = files.systemDirectory + "\\kovahelp.dll";
    const auto count = [&] { return registry.Dword(RegRoot::LocalMachine, kSharedDllsKey, systemFile); };
    struct Case {
        const char* what;
        bool fileThere;
        std::optional<uint32_t> countBefore;
        std::optional<uint32_t> afterInstall;
        bool keptAfterRemove;
        std::optional<uint32_t> afterRemove;
    };
    const Case cases[] = {
        {"written by the setup", false, std::nullopt, 1, false, std::nullopt},
        {"there before without a count", true, std::nullopt, 2, true, 1},
        {"there before with a count", true, 3, 4, true, 3},
        {"gone but still counted", false, 1, 2, true, 1},
    };
    const auto before = [&](const Case& c) {
        registry = FakeRegistry();
        files = FakeFileSystem();
        if (c.fileThere) files.AddFile(systemFile, "shared library already there");
        if (c.countBefore) registry.AddDword(RegRoot::LocalMachine, kSharedDllsKey, systemFile, *c.countBefore);
        Pack();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        before(c);
        ASSERT_TRUE(Run(Mode::Install));
        EXPECT_EQ(files.Contents(systemFile),
                  Text(c.fileThere ? "shared library already there" : "new shared library"));
        EXPECT_EQ(count(), c.afterInstall);
        ASSERT_TRUE(Run(Mode::Upgrade));
        EXPECT_EQ(count(), c.afterInstall);
        ASSERT_TRUE(Run(Mode::Remove));
        EXPECT_EQ(files.HasFile(systemFile), c.keptAfterRemove);
        EXPECT_EQ(count(), c.afterRemove);
        EXPECT_EQ(registry.OpenHandles(), 0u);

        before(c);
        files.failOp = FileOp::Create;
        files.failPath = std::string(kDir) + "\\~Setup.exe";
        EXPECT_FALSE(Run(Mode::Install));
        EXPECT_EQ(files.HasFile(systemFile), c.fileThere);
        EXPECT_EQ(count(), c.countBefore);
    }
}

// A count that cannot be read or written leaves the file where it is, and the uninstall is no failure.
TEST_F(InstallTest, SharedFileStaysWhenItsCountCannotBeUsed) {
    payload.push_back({"kovahelp.dll", Text("new shared library"), 1});
    const std::string systemFile = files.systemDirectory + "\\kovahelp.dll";
    struct Case {
        const char* what;
        std::optional<RegOp> failing;
        bool countIsText;
    };
    const Case cases[] = {
        {"key cannot be opened", RegOp::Open, false},
        {"count cannot be read", RegOp::Query, false},
        {"count cannot be lowered", RegOp::SetDword, false},
        {"count is no DWORD", std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        registry = FakeRegistry();
        files = FakeFileSystem();
        files.AddFile(systemFile, "shared");
        if (c.countIsText) {
            registry.AddString(RegRoot::LocalMachine, kSharedDllsKey, systemFile, "1");
        } else {
            registry.AddDword(RegRoot::LocalMachine, kSharedDllsKey, systemFile, c.failing == RegOp::SetDword ? 2 : 1);
        }
        registry.failOp = c.failing;
        Pack();
        EXPECT_TRUE(Run(Mode::Remove));
        EXPECT_TRUE(files.HasFile(systemFile));
        EXPECT_TRUE(messages.shown.empty());
    }
}

// Without a usable archive nothing is written in any mode; the configuration key goes unless
// upgrading. An archive with no entries has nothing to install and is refused as damaged.
TEST_F(InstallTest, MissingOrDamagedArchiveWritesNothing) {
    const Bytes noArchive = Text("MZ a setup image without payload");
    Bytes damaged = SetupFile(strings.Text(23), payload);
    damaged.erase(damaged.end() - 3, damaged.end());  // the last body runs past the end of the file
    const Bytes empty = SetupFile(strings.Text(23), {});
    for (const Bytes& own : {noArchive, damaged, empty}) {
        for (Mode mode : {Mode::Install, Mode::Upgrade, Mode::Remove}) {
            SCOPED_TRACE(ModeName(mode));
            FakeRegistry freshRegistry;
            registry = std::move(freshRegistry);
            registry.AddKey(RegRoot::LocalMachine, "Software\\KOVA");
            FakeFileSystem freshFiles;
            files = std::move(freshFiles);
            files.ownExecutable = own;
            messages.shown.clear();

            EXPECT_FALSE(Run(mode));
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text,
                      "Error: SETUP did not have an embedded installation information. KOVA NOT installed!");
            EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
            EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok | MessageStyle::IconError);
            EXPECT_TRUE(files.log.empty());
            const std::vector<std::string> expected =
                mode == Mode::Upgrade ? std::vector<std::string>{}
                                      : std::vector<std::string>{"delete HKLM\\" + std::string(kUninstallEntryKey),
                                                                 "delete HKLM\\Software\\KOVA"};
            EXPECT_EQ(registry.log, expected);
        }
    }
}

// The longest accepted directory per mode: install is bound by the filtered command string,
// upgrade by the partial copy of the setup program ("\~Setup.exe"), remove, as every mode checks
// the partial names beside the payload's, by "\~KOVA.exe".
TEST_F(InstallTest, DirectoryTooLongForAnyBuiltPathIsRefusedBeforeWriting) {
    struct Case {
        Mode mode;
        size_t longest;
    };
    const Case cases[] = {{Mode::Install, 225}, {Mode::Upgrade, 248}, {Mode::Remove, 249}};
    for (const Case& c : cases) {
        for (size_t length : {c.longest, c.longest + 1, size_t{259}, size_t{400}}) {
            SCOPED_TRACE(std::string(ModeName(c.mode)) + " " + std::to_string(length));
            std::string directory = "C:\\" + std::string(length - 3, 'k');
            FakeRegistry freshRegistry;
            registry = std::move(freshRegistry);
            registry.AddKey(RegRoot::LocalMachine, "Software\\KOVA");
            FakeFileSystem freshFiles;
            files = std::move(freshFiles);
            files.AddDirectory(directory);
            messages.shown.clear();

            const bool done = Run(c.mode, directory.c_str());
            EXPECT_EQ(done, length <= c.longest);
            if (done) continue;
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, "Error: the installation directory \"" + directory.substr(0, 259) +
                                                  "\" is too long: the path of a KOVA file in it would exceed 259 "
                                                  "characters. Please choose a shorter directory. KOVA NOT " +
                                                  Outcome(c.mode) + "!");
            EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
            EXPECT_TRUE(files.log.empty());
            EXPECT_EQ(ConfigurationKept(), c.mode == Mode::Upgrade);
            EXPECT_FALSE(registry.HasKey(RegRoot::ClassesRoot, "KOVA\\DefaultIcon"));
        }
    }
}

TEST_F(InstallTest, EmptyDirectoryIsRefusedInEveryMode) {
    for (Mode mode : {Mode::Install, Mode::Upgrade, Mode::Remove}) {
        SCOPED_TRACE(ModeName(mode));
        files.AddFile("C:\\KOVA.exe", "a file in the root");
        messages.shown.clear();
        EXPECT_FALSE(Run(mode, ""));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
        EXPECT_EQ(messages.shown[0].text,
                  "Error: no installation directory was given. KOVA NOT " + Outcome(mode) + "!");
        EXPECT_TRUE(files.log.empty());
        EXPECT_TRUE(files.HasFile("C:\\KOVA.exe"));
    }
}

// Each file that cannot be created, written, flushed, closed or renamed into place is named in the
// one error box; the partial file is gone, the file under its own name is the old one (an upgrade's)
// or none, no shell verb points at a missing KOVA.exe and Install will be offered again.
TEST_F(InstallTest, FileFailureIsReportedWithItsNameAndNoSuccess) {
    const char* const names[] = {"KOVA.exe", "KOVA.hlp", "KOVA.cnt", "Setup.exe"};
    for (FileOp op : {FileOp::Create, FileOp::Write, FileOp::Flush, FileOp::Close, FileOp::Rename}) {
        for (const char* name : names) {
            for (Mode mode : {Mode::Install, Mode::Upgrade}) {
                const std::string path = std::string(kDir) + "\\" + name;
                const std::string partial = std::string(kDir) + "\\~" + name;
                SCOPED_TRACE(std::string(ModeName(mode)) + " " + path + " op " + std::to_string(int(op)));
                FakeRegistry freshRegistry;
                registry = std::move(freshRegistry);
                registry.AddKey(RegRoot::LocalMachine, "Software\\KOVA");
                FakeFileSystem freshFiles;
                files = std::move(freshFiles);
                files.AddDirectory("C:\\Program Files");
                if (mode == Mode::Upgrade) {
                    files.AddDirectory(kDir);
                    files.AddFile(path, "old " + std::string(name));
                }
                files.failOp = op;
                files.failPath = op == FileOp::Rename ? path : partial;
                messages.shown.clear();

                EXPECT_FALSE(Run(mode));
                ASSERT_EQ(messages.shown.size(), 1u);
                EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
                EXPECT_EQ(messages.shown[0].text,
                          mode == Mode::Install
                              ? "Error: the file \"" + path +
                                    "\" could not be written; the disk may be full or the folder may be protected. "
                                    "KOVA NOT fully installed!"
                              : "Error: the file \"" + path +
                                    "\" could not be written; it may be in use, the disk may be full or the folder may "
                                    "be protected. KOVA NOT upgraded! The upgrade will be tried again the next time "
                                    "SETUP starts.");
                EXPECT_EQ(files.Contents(path), mode == Mode::Upgrade ? Text("old " + std::string(name)) : Bytes{});
                EXPECT_EQ(files.HasFile(path), mode == Mode::Upgrade);
                EXPECT_FALSE(files.HasFile(partial));
                EXPECT_EQ(files.OpenHandles(), 0u);
                EXPECT_EQ(registry.KeyCount(), 1u + (mode == Mode::Upgrade ? 1u : 0u));  // HKLM "Software" remains
                EXPECT_EQ(ConfigurationKept(), mode == Mode::Upgrade);
            }
        }
    }
}

TEST_F(InstallTest, DirectoryThatCannotBeCreatedIsReported) {
    files.AddDirectory("C:\\Program Files");
    files.failOp = FileOp::MakeDirectory;
    EXPECT_FALSE(Run(Mode::Install));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error: the file \"C:\\Program Files\\KOVA\\KOVA.exe\" could not be written; the disk may be full or "
              "the folder may be protected. KOVA NOT fully installed!");
    EXPECT_FALSE(registry.HasKey(RegRoot::ClassesRoot, "KOVA\\DefaultIcon"));
}

TEST_F(InstallTest, ShellEntryFailureIsReportedAndNothingClaimsSuccess) {
    for (RegOp op : {RegOp::Create, RegOp::SetString}) {
        for (const char* key : kShellKeys) {
            SCOPED_TRACE(std::string(key) + " op " + std::to_string(int(op)));
            FailRegistryAt(op, key);

            EXPECT_FALSE(Run(Mode::Install));
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, std::string("Error: the registry key HKEY_CLASSES_ROOT\\") + key +
                                                  " could not be written, so the Print commands are not available. "
                                                  "KOVA NOT fully installed!");
            EXPECT_EQ(registry.OpenHandles(), 0u);
            EXPECT_FALSE(ConfigurationKept());
        }
    }
}

TEST_F(InstallTest, RemoveReportsAFileThatStays) {
    AddInstalledFiles();
    files.failOp = FileOp::Delete;
    files.failPath = std::string(kDir) + "\\KOVA.hlp";
    EXPECT_FALSE(Run(Mode::Remove));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error: these files could not be deleted and are left in place:\n"
              "C:\\Program Files\\KOVA\\KOVA.hlp\n\n"
              "KOVA's registry entries are removed. Please delete the files by hand, with the copy of SETUP in "
              "C:\\Program Files\\KOVA. KOVA NOT fully removed!");
    EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
    EXPECT_FALSE(files.HasFile(std::string(kDir) + "\\KOVA.exe"));
    EXPECT_FALSE(files.HasFile(std::string(kDir) + "\\KOVA.cnt"));
}

// Every single file and registry operation of each mode, failed in turn: nothing crashes, a
// success box only ever follows complete success, nothing lands outside the directory, every
// handle is closed, and a registered shell verb always finds its KOVA.exe.
TEST_F(InstallTest, EveryOperationFailedInTurn) {
    payload.push_back({"kovahelp.dll", Text("shared"), 1});
    const std::string systemFile = "c:\\windows\\system32\\kovahelp.dll";
    const std::string inside = "c:\\program files\\kova\\";
    for (Mode mode : {Mode::Install, Mode::Upgrade, Mode::Remove}) {
        for (bool registryFault : {false, true}) {
            for (size_t call = 1;; ++call) {
                SCOPED_TRACE(std::string(ModeName(mode)) + (registryFault ? " registry" : " file") + " call " +
                             std::to_string(call));
                FakeRegistry freshRegistry;
                registry = std::move(freshRegistry);
                registry.AddKey(RegRoot::LocalMachine, "Software\\KOVA");
                FakeFileSystem freshFiles;
                files = std::move(freshFiles);
                if (mode != Mode::Install) AddInstalledFiles();
                Pack();
                (registryFault ? registry.failAtCall : files.failAtCall) = call;
                messages.shown.clear();

                const bool done = Run(mode);
                const bool injected = registryFault ? registry.calls >= call : files.calls >= call;

                ASSERT_LE(messages.shown.size(), 1u);
                const bool success = !messages.shown.empty() && messages.shown[0].caption == "KOVA Installer";
                EXPECT_EQ(success, done && mode == Mode::Install);
                if (!done) {
                    EXPECT_EQ(messages.shown.at(0).caption, "Installation Fatal Error");
                }
                for (const std::string& path : files.FilePaths()) {
                    EXPECT_THAT(path, AnyOf(StartsWith(inside), Eq(systemFile)));
                }
                EXPECT_EQ(files.OpenHandles(), 0u);
                EXPECT_EQ(registry.OpenHandles(), 0u);
                if (registry.HasKey(RegRoot::ClassesRoot, "Directory\\shell\\Print\\Command")) {
                    EXPECT_EQ(files.Contents(inside + "kova.exe"), payload[0].body);
                }
                if (!injected) {
                    EXPECT_TRUE(done);
                    break;
                }
            }
        }
    }
}

}  // namespace
