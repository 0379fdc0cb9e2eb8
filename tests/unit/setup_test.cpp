#include "setup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "fake_platform.h"
#include "operations/install.h"
#include "operations/uninstall_entry.h"
#include "setup_image.h"
#include "stored_records.h"

namespace {

using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using Bytes = std::vector<uint8_t>;
constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr const char* kDir = kStoredDirectory;

class UpgradeTest : public ::testing::Test, protected FakePlatform {
protected:
    UpgradeTest() {
        files.AddDirectory(kDir);
        std::vector<uint8_t> setup = MinimalSetupImage();
        std::array<uint8_t, kArchiveHeaderSize> header{};
        std::array<uint8_t, kEntrySize> entry{};
        WriteArchiveHeader(header, strings.Text(23), 1);
        WriteArchiveEntry(entry, 0, 4, "KOVA.exe");
        setup.insert(setup.end(), header.begin(), header.end());
        setup.insert(setup.end(), entry.begin(), entry.end());
        setup.insert(setup.end(), {'K', 'O', 'V', 'A'});
        files.ownExecutable = setup;
    }

    SetupDialog StoredRecord() const {
        const auto bytes = registry.Binary(HKLM, "Software\\KOVA", "config");
        EXPECT_TRUE(bytes.has_value());
        SetupDialog record = Zero();
        if (bytes && bytes->size() == sizeof record) std::memcpy(&record, bytes->data(), sizeof record);
        return record;
    }
    bool Refreshed() const { return files.HasFile("C:\\KOVA\\KOVA.exe"); }
    // What the upgrade did to the configuration: the registry log without the refresh's rewrite of
    // the entry in Windows' list of installed programs, which must then show the current version.
    std::vector<std::string> ConfigurationLog() const {
        EXPECT_EQ(registry.String(HKLM, kUninstallEntryKey, "DisplayVersion"), KOVA_VERSION);
        std::vector<std::string> log;
        for (const std::string& line : registry.log)
            if (line.find(kUninstallEntryKey) == std::string::npos) log.push_back(line);
        return log;
    }
    std::string UpgradedText(const std::string& from) const {
        std::string text = strings.Text(25);
        text.replace(text.find("%s"), 2, from);
        text.replace(text.find("%s"), 2, KOVA_VERSION);
        return text;
    }
    void ExpectUpgradeBox(const std::string& from) const {
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text, UpgradedText(from));
        EXPECT_EQ(messages.shown.back().caption, "Upgraded");
        EXPECT_EQ(messages.shown.back().style, MessageStyle::Ok | MessageStyle::IconWarning);
    }
};

TEST_F(UpgradeTest, SettingsThatCannotBeStoredStopInstallAndUpdate) {
    SetupDialog record = Zero();
    std::strcpy(record.installationDirectory, kDir);
    for (const bool installed : {false, true}) {
        SCOPED_TRACE(installed ? "update" : "install");
        FakeRegistry freshRegistry;
        registry = std::move(freshRegistry);
        if (installed) registry.AddKey(HKLM, "Software\\KOVA");
        registry.failOp = RegOp::SetBinary;
        messages.shown.clear();

        EXPECT_FALSE(StoreSettingsAndInstall(platform, record, installed));

        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(
            messages.shown[0].text,
            std::string("Error: the settings could not be saved in the registry (HKEY_LOCAL_MACHINE\\Software\\KOVA, "
                        "value \"Config\"). Setup needs the right to change this key. KOVA NOT ") +
                (installed ? "updated!" : "installed!"));
        EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
        EXPECT_EQ(registry.HasKey(HKLM, "Software\\KOVA"), installed);
        EXPECT_TRUE(files.log.empty());
    }
    registry.failOp.reset();
    messages.shown.clear();
    EXPECT_TRUE(StoreSettingsAndInstall(platform, record, false));
    EXPECT_TRUE(Refreshed());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, strings.Text(20));
}

// ---------------------------------------------------------------- the upgrade check

TEST_F(UpgradeTest, NoInstallationChangesNothing) {
    CheckForUpgrade(platform);
    EXPECT_EQ(registry.log,
              (std::vector<std::string>{"open HKLM\\software\\KOVA\\1.0 0x20007", "open HKLM\\software\\kova 0x0"}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(files.log.empty());
    EXPECT_TRUE(process.endedWith.empty());
}

TEST_F(UpgradeTest, CurrentOrNewerVersionChangesNothing) {
    for (const char* version : {KOVA_VERSION, "1.0f", "2.0a"}) {
        SCOPED_TRACE(version);
        FakeRegistry fresh;
        registry = std::move(fresh);
        registry.AddBinary(HKLM, "Software\\KOVA", "config", Stored(version));
        CheckForUpgrade(platform);
        EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), Stored(version));
        EXPECT_EQ(registry.log.size(), 4u);  // open 1.0, open kova, query, close: no write
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_FALSE(Refreshed());
    }
}

TEST_F(UpgradeTest, OlderVersionIsRewrittenRefreshedAndReported) {
    registry.AddBinary(HKLM, "Software\\KOVA", "config", Stored("1.0c"));
    CheckForUpgrade(platform);

    Bytes expected = Stored("1.0c");
    std::memcpy(expected.data(), KOVA_VERSION, 4);
    EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), expected);
    EXPECT_EQ(ConfigurationLog(),
              (std::vector<std::string>{"open HKLM\\software\\KOVA\\1.0 0x20007", "open HKLM\\software\\kova 0x0",
                                        "query HKLM\\software\\kova config", "close HKLM\\software\\kova",
                                        "open HKLM\\software\\kova 0x2", "setdword HKLM\\software\\kova Unfinished",
                                        "setbinary HKLM\\software\\kova config", "close HKLM\\software\\kova",
                                        // the refresh is complete: its record goes
                                        "open HKLM\\Software\\KOVA 0x2", "deletevalue HKLM\\Software\\KOVA Unfinished",
                                        "close HKLM\\Software\\KOVA"}));
    EXPECT_EQ(files.Contents("C:\\KOVA\\KOVA.exe"), (Bytes{'K', 'O', 'V', 'A'}));
    EXPECT_EQ(files.Contents("C:\\KOVA\\Setup.exe"), files.ownExecutable);
    ASSERT_EQ(messages.shown.size(), 1u);
    ExpectUpgradeBox("1.0c");
}

// Older layouts and unreadable values, as the upgrade converts and reports them.
TEST_F(UpgradeTest, OlderLayoutsAndUnreadableValuesAreConvertedAndReported) {
    auto oldLayout = [](size_t size, const char* version) {
        Bytes value(size, 0);
        std::memcpy(value.data(), version, std::strlen(version));
        std::strcpy(reinterpret_cast<char*>(value.data()) + 1381 - (1644 - size), kDir);
        value[857 - (1644 - size)] = 1;  // pickFontEveryTime
        return value;
    };
    struct Case {
        const char* name;
        std::optional<Bytes> value;  // nullopt: the key holds no "config"
        std::string reported;
        bool incompatible;
        uint8_t backdrop;
        bool refreshed;
    };
    const Case cases[] = {
        {"1.0a layout", oldLayout(1584, "1.0a"), "1.0a", false, 1, true},
        {"1.0 layout", oldLayout(1580, "1.0"), "1.0", false, 0, true},
        {"missing value", std::nullopt, "Unknown", false, 1, false},
        {"no dot before the first zero",
         [] {
             Bytes v = Stored("1.0c");
             v[1] = 'x';
             return v;
         }(),
         "Unknown", false, 0, true},
        {"unknown size", oldLayout(1000, "1.0b"), "1.0b", true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry freshRegistry;
        registry = std::move(freshRegistry);
        registry.AddKey(HKLM, "Software\\KOVA");
        if (c.value) registry.AddBinary(HKLM, "Software\\KOVA", "config", *c.value);
        FakeFileSystem freshFiles;
        const Bytes own = files.ownExecutable;
        files = std::move(freshFiles);
        files.ownExecutable = own;
        files.AddDirectory(kDir);
        messages.shown.clear();

        CheckForUpgrade(platform);

        const SetupDialog stored = StoredRecord();
        EXPECT_EQ(std::string(stored.version, 4), KOVA_VERSION);
        EXPECT_EQ(stored.backdropAtPrintTime, c.backdrop);
        EXPECT_EQ(Refreshed(), c.refreshed);
        EXPECT_EQ(std::string(stored.installationDirectory), c.refreshed ? kDir : "");
        ASSERT_EQ(messages.shown.size(), c.incompatible ? 2u : 1u);
        if (c.incompatible) {
            std::string text = strings.Text(37);
            text.replace(text.find("%s"), 2, KOVA_VERSION);
            EXPECT_EQ(messages.shown[0].text, text);
            EXPECT_EQ(messages.shown[0].caption, "<default>");
            EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok);
        }
        ExpectUpgradeBox(c.reported);
        EXPECT_TRUE(process.endedWith.empty());
    }
}

TEST_F(UpgradeTest, MissingValueStoresTheZeroOneZeroALayoutDefaults) {
    registry.AddKey(HKLM, "Software\\KOVA");
    CheckForUpgrade(platform);
    SetupDialog expected = Zero();
    std::memcpy(expected.version, KOVA_VERSION, 4);
    expected.currentTextPage = 1;
    expected.sortAtPrintTime = 1;
    expected.fileDisplayAtPrintTime = 1;
    expected.backdropAtPrintTime = 1;
    EXPECT_EQ(Image(StoredRecord()), Image(expected));
    ExpectUpgradeBox("Unknown");
}

// ---------------------------------------------------------------- version-1.0 settings

TEST_F(UpgradeTest, ReleaseOneZeroSettingsMoveToConfig) {
    Bytes settings(1640, 0);
    for (size_t i = 0; i < 100; ++i) settings[i] = static_cast<uint8_t>(i + 1);
    std::strcpy(reinterpret_cast<char*>(settings.data()) + 1381 - 4, kDir);
    registry.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", settings);

    CheckForUpgrade(platform);

    Bytes expected(1644, 0);
    std::memcpy(expected.data(), KOVA_VERSION, 4);
    std::copy(settings.begin(), settings.end(), expected.begin() + 4);
    EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), expected);
    EXPECT_FALSE(registry.HasKey(HKLM, "software\\KOVA\\1.0"));
    EXPECT_TRUE(Refreshed());
    ASSERT_EQ(messages.shown.size(), 1u);
    ExpectUpgradeBox("1.0");
    EXPECT_EQ(
        ConfigurationLog(),
        (std::vector<std::string>{
            "open HKLM\\software\\KOVA\\1.0 0x20007", "query HKLM\\software\\KOVA\\1.0 Settings",
            "close HKLM\\software\\KOVA\\1.0", "open HKLM\\software\\kova 0x1", "query HKLM\\software\\kova config",
            "close HKLM\\software\\kova", "open HKLM\\software\\kova 0x2", "setdword HKLM\\software\\kova Unfinished",
            "setbinary HKLM\\software\\kova Config", "close HKLM\\software\\kova", "delete HKLM\\software\\kova\\1.0",
            "open HKLM\\software\\kova 0x2", "setdword HKLM\\software\\kova Unfinished",
            "setbinary HKLM\\software\\kova config", "close HKLM\\software\\kova",
            // the refresh is complete: its record goes
            "open HKLM\\Software\\KOVA 0x2", "deletevalue HKLM\\Software\\KOVA Unfinished",
            "close HKLM\\Software\\KOVA"}));
}

TEST_F(UpgradeTest, ShortSettingsFillFromByteFourAndNameNoDirectory) {
    Bytes settings(100);
    for (size_t i = 0; i < settings.size(); ++i) settings[i] = static_cast<uint8_t>(0x80 + i);
    registry.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", settings);

    CheckForUpgrade(platform);

    Bytes expected(1644, 0);
    std::memcpy(expected.data(), KOVA_VERSION, 4);
    std::copy(settings.begin(), settings.end(), expected.begin() + 4);
    EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), expected);
    EXPECT_FALSE(registry.HasKey(HKLM, "software\\KOVA\\1.0"));
    EXPECT_TRUE(files.log.empty());  // no directory: nothing refreshed into the root of the drive
    ASSERT_EQ(messages.shown.size(), 1u);
    ExpectUpgradeBox("1.0");
}

TEST_F(UpgradeTest, SettingsTroubleShowsMessageFortyFourAndChangesNothing) {
    struct Case {
        const char* caption;
        std::function<void(FakeRegistry&)> arrange;
    };
    const Case cases[] = {
        {"Unable to query settings key!", [](FakeRegistry& r) { r.AddKey(HKLM, "software\\KOVA\\1.0"); }},
        {"Unable to query settings key!",
         [](FakeRegistry& r) { r.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(1641, 1)); }},
        {"Unable to open KOVA key!",
         [](FakeRegistry& r) {
             r.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(10, 1));
             r.failOp = RegOp::Open;
             r.failPath = "software\\kova";
         }},
        {"Unable to write Config!",
         [](FakeRegistry& r) {
             r.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(10, 1));
             r.failOp = RegOp::SetBinary;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        FakeRegistry fresh;
        registry = std::move(fresh);
        c.arrange(registry);
        messages.shown.clear();

        CheckForUpgrade(platform);

        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, strings.Text(44));
        EXPECT_EQ(messages.shown[0].caption, c.caption);
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok);
        EXPECT_TRUE(registry.HasKey(HKLM, "software\\KOVA\\1.0"));
        EXPECT_FALSE(registry.Binary(HKLM, "Software\\KOVA", "config").has_value());
        EXPECT_EQ(registry.OpenHandles(), 0u);
        EXPECT_TRUE(files.log.empty());
    }
}

TEST_F(UpgradeTest, ReleaseOneZeroKeyWithoutWriteRightIsPassedOver) {
    registry.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(10, 1));
    registry.AddBinary(HKLM, "software\\KOVA", "config", Stored(KOVA_VERSION));
    registry.DenyWrite(HKLM, "software\\KOVA\\1.0");
    CheckForUpgrade(platform);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(registry.HasKey(HKLM, "software\\KOVA\\1.0"));
    EXPECT_EQ(registry.log.at(1), "open HKLM\\software\\kova 0x0");
}

// ---------------------------------------------------------------- ending the program

// A refresh that fails puts the stored configuration back as it was, so the next start meets the
// older version again and retries; the program ends with -1.
TEST_F(UpgradeTest, FailedRefreshPutsTheConfigurationBackAndEndsWithMinusOne) {
    const std::string inUse =
        "Error: the file \"C:\\KOVA\\KOVA.exe\" could not be written; it may be in use, the disk may be full or the "
        "folder may be protected. KOVA NOT upgraded! The upgrade will be tried again the next time SETUP starts.";
    const Bytes settings(1640, 0x11);
    Bytes settingsWithDirectory = settings;
    std::strcpy(reinterpret_cast<char*>(settingsWithDirectory.data()) + 1381 - 4, kDir);
    struct Case {
        const char* name;
        bool fromRelease10;
        bool withoutPayload;
        std::string text;
        bool restoreFails;  // the "Config" the move created cannot be deleted again
    };
    const Case cases[] = {
        {"file in use", false, false, inUse, false},
        {"no payload", false, true, kNoArchiveText, false},
        {"1.0 settings, file in use", true, false, inUse, false},
        {"1.0 settings, file in use, restore fails", true, false, inUse, true},
    };
    const Bytes withPayload = files.ownExecutable;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry freshRegistry;
        registry = std::move(freshRegistry);
        if (c.fromRelease10) {
            registry.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", settingsWithDirectory);
            registry.AddKey(HKLM, "Software\\KOVA");
        } else {
            registry.AddBinary(HKLM, "Software\\KOVA", "config", Stored("1.0c"));
        }
        files.ownExecutable = c.withoutPayload ? Bytes{'M', 'Z'} : withPayload;
        files.failOp = FileOp::Rename;
        files.failPath = "C:\\KOVA\\KOVA.exe";
        if (c.restoreFails) registry.failOp = RegOp::DeleteValue;
        messages.shown.clear();
        process.endedWith.clear();

        CheckForUpgrade(platform);

        EXPECT_EQ(process.endedWith, std::vector<int>{-1});
        ASSERT_EQ(messages.shown.size(), c.restoreFails ? 2u : 1u);
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].caption, "Installation Fatal Error");
        if (c.restoreFails) {
            EXPECT_EQ(messages.shown[1].text,
                      "Error: the settings of the installed KOVA (1.0) could not be put back in the registry "
                      "(HKEY_LOCAL_MACHINE\\Software\\KOVA) after the failed upgrade. Run SETUP again with the right "
                      "to change that key.");
            EXPECT_EQ(messages.shown[1].caption, "Installation Fatal Error");
        } else if (c.fromRelease10) {
            EXPECT_EQ(registry.Binary(HKLM, "software\\KOVA\\1.0", "Settings"), settingsWithDirectory);
            EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), std::nullopt);  // none was there
        } else {
            EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), Stored("1.0c"));
        }
    }
}

// Settings a newer KOVA stored in a layout this setup cannot read (a larger "config", or one of a
// size it does not know that names a newer version) are left exactly as they are, and the user is
// told so; nothing is refreshed and no "settings cleared" message claims otherwise.
TEST_F(UpgradeTest, NewerSettingsAreLeftAsTheyAre) {
    Bytes newerSize = Stored("2.0a");
    newerSize.resize(2000, 0x5A);
    Bytes newerUnknownLayout = Stored("2.0a");
    newerUnknownLayout.resize(1000);
    struct Case {
        const char* name;
        Bytes config;
        bool withRelease10Settings;
    };
    const Case cases[] = {
        {"larger than a record", newerSize, false},
        {"a newer version in a size this setup does not know", newerUnknownLayout, false},
        {"larger than a record, beside version-1.0 settings", newerSize, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        registry = FakeRegistry();
        registry.AddBinary(HKLM, "Software\\KOVA", "config", c.config);
        if (c.withRelease10Settings) registry.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(1640, 1));
        messages.shown.clear();

        CheckForUpgrade(platform);

        EXPECT_EQ(registry.Binary(HKLM, "Software\\KOVA", "config"), c.config);
        EXPECT_EQ(registry.HasKey(HKLM, "software\\KOVA\\1.0"), c.withRelease10Settings);
        EXPECT_FALSE(Refreshed());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, std::string("Settings of a newer version of KOVA than this setup's (") +
                                              KOVA_VERSION +
                                              ") were found in the registry (HKEY_LOCAL_MACHINE\\Software\\KOVA). "
                                              "SETUP has left them as they are.");
        EXPECT_EQ(messages.shown[0].caption, "Newer Settings Found");
    }
}

TEST_F(UpgradeTest, FailedWritesOfTheUpgradeAreAssertionFailures) {
    const std::string createText =
        R"(RegCreateKeyEx(HKEY_LOCAL_MACHINE,"software\\kova",0,NULL,REG_OPTION_NON_VOLATILE,KEY_SET_VALUE,NULL,&regKey,&disposition)==ERROR_SUCCESS)";
    const std::string setText =
        R"(RegSetValueEx(regKey,"config",0,REG_BINARY,(unsigned char *)&InstallationInfo,sizeof(SetupDialog))==ERROR_SUCCESS)";
    struct Case {
        std::string expression;
        std::function<void(FakeRegistry&)> arrange;
    };
    const Case cases[] = {
        {createText,
         [](FakeRegistry& r) {
             r.AddBinary(HKLM, "software\\KOVA\\1.0", "Settings", Bytes(10, 1));
             r.failAtCall = 9;  // the open for the final write; then creation is refused
             r.DenyCreate(HKLM, "software\\kova");
         }},
        {setText,
         [](FakeRegistry& r) {
             r.AddBinary(HKLM, "Software\\KOVA", "config", Stored("1.0c"));
             r.failOp = RegOp::SetBinary;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        FakeRegistry fresh;
        registry = std::move(fresh);
        c.arrange(registry);
        messages.shown.clear();
        process.endedWith.clear();
        process.throwOnEnd = true;

        EXPECT_THROW(CheckForUpgrade(platform), ThreadEnded);

        EXPECT_EQ(process.endedWith, std::vector<int>{-1});
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string& text = messages.shown[0].text;
        EXPECT_THAT(text,
                    AllOf(StartsWith("Assertion '" + c.expression + "' failed!\nLine #:"), HasSubstr("\nSource Code:"),
                          EndsWith("setup/setup.cpp\nThis thread (1234) will terminate")));
        EXPECT_EQ(messages.shown[0].caption, "Assertion Failure");
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok | MessageStyle::IconError);
        EXPECT_TRUE(files.log.empty());
    }
}

TEST_F(UpgradeTest, AssertionReportNamesExpressionLineFileAndThread) {
    process.threadId = 77;
    ReportAssertionFailure(platform, "x == 1", 42, "setup/setup.cpp");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Assertion 'x == 1' failed!\nLine #:42\nSource Code:setup/setup.cpp\nThis thread (77) will terminate");
    EXPECT_EQ(process.endedWith, std::vector<int>{-1});
}

}  // namespace
