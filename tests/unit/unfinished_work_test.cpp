#include "configuration/unfinished_work.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "fake_desktop.h"
#include "fake_platform.h"
#include "operations/install.h"
#include "operations/uninstall.h"
#include "operations/uninstall_entry.h"
#include "resources/resource_ids.h"
#include "setup.h"
#include "setup_image.h"
#include "stored_records.h"

// An install, the refresh of an upgrade and an uninstall, each ended at every one of its file and
// registry operations in turn as a power cut would end it, then the next start: it must finish the
// work and leave exactly what the work leaves when nothing stops it.
namespace {

using Bytes = std::vector<uint8_t>;
constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr char kDir[] = "C:\\KOVA";

struct PayloadFile {
    const char* name;
    Bytes body;
};

// KOVA.hlp is larger than the window the own file is read through, so it is written in several
// pieces, and an interruption can fall in its middle.
std::vector<PayloadFile> Payload() {
    Bytes help(2 * 1048576 + 333);
    for (size_t i = 0; i < help.size(); ++i) help[i] = static_cast<uint8_t>(i * 7 + i / 1000);
    return {{"KOVA.exe", Bytes(40, 'x')}, {"KOVA.hlp", help}, {"KOVA.cnt", Bytes(25, 'c')}};
}

Bytes SetupFile(const std::string& marker, const std::vector<PayloadFile>& payload) {
    Bytes file = MinimalSetupImage();
    std::array<uint8_t, kArchiveHeaderSize> header{};
    WriteArchiveHeader(header, marker, static_cast<uint32_t>(payload.size()));
    file.insert(file.end(), header.begin(), header.end());
    for (const PayloadFile& entry : payload) {
        std::array<uint8_t, kEntrySize> record{};
        WriteArchiveEntry(record, 0, static_cast<uint32_t>(entry.body.size()), entry.name);
        file.insert(file.end(), record.begin(), record.end());
    }
    for (const PayloadFile& entry : payload) file.insert(file.end(), entry.body.begin(), entry.body.end());
    return file;
}

// What the machine holds: every registry key with its values, every file with its bytes.
struct MachineState {
    std::string registry;
    std::map<std::string, Bytes> files;
    bool operator==(const MachineState&) const = default;
};

class Interrupted : public ::testing::Test, protected FakePlatform {
protected:
    Interrupted() : payload(Payload()) { Fresh(); }

    // A machine without KOVA, and the setup carrying the payload.
    void Fresh() {
        registry = FakeRegistry();
        files = FakeFileSystem();
        files.ownExecutable = SetupFile(strings.Text(IDS_ARCHIVE_MARKER), payload);
        messages.shown.clear();
        launcher.started.clear();
        quit.posted.clear();
        process.endedWith.clear();
    }

    // The settings and directory the user confirmed with Install.
    SetupDialog Chosen() const {
        SetupDialog record = Zero();
        const Bytes stored = Stored(KOVA_VERSION, kDir);
        std::memcpy(&record, stored.data(), sizeof record);
        return record;
    }

    void InstallFromTheDialog() { StoreSettingsAndInstall(platform, Chosen(), false); }
    void Uninstall() { RemoveInstallation(platform, launcher, quit, Chosen()); }

    MachineState State() const { return {registry.Dump(), files.Files()}; }

    // Counts the operations of `work` run from the state `arrange` makes, and keeps what it leaves.
    size_t Operations(const std::function<void()>& arrange, const std::function<void()>& work, MachineState& done) {
        arrange();
        Interruption clock;
        registry.interruption = &clock;
        files.interruption = &clock;
        work();
        done = State();
        registry.interruption = nullptr;
        files.interruption = nullptr;
        return clock.operations;
    }

    // Runs `work` from the state `arrange` makes and ends the process at operation `at`.
    void EndAt(size_t at, const std::function<void()>& arrange, const std::function<void()>& work) {
        arrange();
        Interruption clock;
        clock.at = at;
        registry.interruption = &clock;
        files.interruption = &clock;
        EXPECT_THROW(work(), ProcessEnded);
        registry.interruption = nullptr;
        files.interruption = nullptr;
        registry.EndProcess();
        files.EndProcess();
        messages.shown.clear();
        quit.posted.clear();
    }

    bool Recorded() const { return registry.Dword(HKLM, "Software\\KOVA", kUnfinishedValue).has_value(); }

    // No file under its own name is ever a part of the new one: it is missing, the old one, or whole.
    void ExpectNoPartFileUnderItsOwnName(const Bytes& old = {}) const {
        for (const PayloadFile& entry : payload) {
            const std::string path = std::string(kDir) + "\\" + entry.name;
            if (!files.HasFile(path)) continue;
            const Bytes contents = files.Contents(path);
            EXPECT_TRUE(contents == entry.body || (!old.empty() && contents == old)) << path;
        }
        const std::string copy = std::string(kDir) + "\\Setup.exe";
        if (files.HasFile(copy)) EXPECT_EQ(files.Contents(copy), files.ownExecutable);
    }

    // The next start as WinMain runs it, up to the dialog; true when the program ended there.
    bool Start() {
        if (FinishUnfinishedWork(platform, launcher, quit)) return true;
        CheckForUpgrade(platform);
        return false;
    }

    std::string UnfinishedText(int what) const {
        std::string text = strings.Text(IDS_UNFINISHED);
        return text.replace(text.find("%s"), 2, strings.Text(what));
    }

    void ExpectToldThenCompleted(int what, const char* lastCaption) const {
        ASSERT_EQ(messages.shown.size(), 2u);
        EXPECT_EQ(messages.shown[0].text, UnfinishedText(what));
        EXPECT_EQ(messages.shown[0].caption, "KOVA Installer");
        EXPECT_EQ(messages.shown[0].style, MessageStyle::Ok | MessageStyle::IconInformation);
        EXPECT_EQ(messages.shown.back().caption, lastCaption);
    }

    std::vector<PayloadFile> payload;
    FakeLauncher launcher;
    FakeQuit quit;
};

TEST_F(Interrupted, InstallIsCompletedByTheNextStartWhereverItStopped) {
    MachineState installed;
    MachineState nothing;
    const auto fresh = [&] { Fresh(); };
    const auto install = [&] { InstallFromTheDialog(); };
    const size_t operations = Operations(fresh, install, installed);
    Fresh();
    nothing = State();
    ASSERT_GT(operations, 20u);
    for (size_t at = 1; at <= operations; ++at) {
        SCOPED_TRACE("ended at operation " + std::to_string(at) + " of " + std::to_string(operations));
        EndAt(at, fresh, install);
        ExpectNoPartFileUnderItsOwnName();
        const bool recorded = Recorded();
        const bool configured = registry.Binary(HKLM, "Software\\KOVA", "Config").has_value();

        const bool ended = Start();

        if (recorded && configured) {
            EXPECT_TRUE(ended);
            ExpectToldThenCompleted(IDS_UNFINISHED_INSTALLATION, "KOVA Installer");
            ASSERT_FALSE(messages.shown.empty());
            EXPECT_EQ(messages.shown.back().text, strings.Text(IDS_INSTALL_SUCCESS));
            EXPECT_EQ(State(), installed);
        } else {
            // Ended before the settings were stored: nothing else had changed. A record goes with
            // KOVA's key, so that Install is offered again. (Ended between the creation of the key and
            // its first value, the empty key is what an older KOVA left: the start takes it for settings
            // of an unknown version, as it always has.)
            EXPECT_FALSE(ended);
            EXPECT_EQ(files.Files(), nothing.files);
            if (recorded) EXPECT_FALSE(registry.HasKey(HKLM, "Software\\KOVA"));
        }
        EXPECT_EQ(files.OpenHandles(), 0u);
        EXPECT_EQ(registry.OpenHandles(), 0u);
    }
}

TEST_F(Interrupted, RefreshOfAnUpgradeIsCompletedByTheNextStartWhereverItStopped) {
    const auto older = [&] {
        Fresh();
        registry.AddBinary(HKLM, "Software\\KOVA", "config", Stored("1.0c", kDir));
        files.AddDirectory(kDir);
        for (const PayloadFile& entry : payload) files.AddFile(std::string(kDir) + "\\" + entry.name, "old");
        ASSERT_TRUE(WriteUninstallEntry(platform, kDir, 3));
        registry.AddString(HKLM, kUninstallEntryKey, "DisplayVersion", "1.0c");
    };
    const auto upgrade = [&] { CheckForUpgrade(platform); };
    MachineState upgraded;
    const size_t operations = Operations(older, upgrade, upgraded);
    ASSERT_GT(operations, 15u);
    for (size_t at = 1; at <= operations; ++at) {
        SCOPED_TRACE("ended at operation " + std::to_string(at) + " of " + std::to_string(operations));
        EndAt(at, older, upgrade);
        ExpectNoPartFileUnderItsOwnName(Bytes{'o', 'l', 'd'});
        const bool recorded = Recorded();

        EXPECT_FALSE(Start());

        if (recorded) {
            EXPECT_EQ(messages.shown.at(0).text, UnfinishedText(IDS_UNFINISHED_INSTALLATION));
        }
        EXPECT_EQ(State(), upgraded);
        EXPECT_EQ(registry.String(HKLM, kUninstallEntryKey, "DisplayVersion"), KOVA_VERSION);
    }
}

TEST_F(Interrupted, UninstallIsCompletedByTheNextStartWhereverItStopped) {
    const auto installed = [&] {
        Fresh();
        InstallFromTheDialog();
        messages.shown.clear();
    };
    const auto uninstall = [&] { Uninstall(); };
    MachineState removed;
    MachineState before;
    installed();
    before = State();
    const size_t operations = Operations(installed, uninstall, removed);
    ASSERT_GT(operations, 15u);
    for (size_t at = 1; at <= operations; ++at) {
        SCOPED_TRACE("ended at operation " + std::to_string(at) + " of " + std::to_string(operations));
        EndAt(at, installed, uninstall);
        const bool recorded = Recorded();

        const bool ended = Start();

        if (recorded) {
            EXPECT_TRUE(ended);
            ExpectToldThenCompleted(IDS_UNFINISHED_REMOVAL, "Success");
            ASSERT_FALSE(messages.shown.empty());
            EXPECT_EQ(quit.posted, std::vector<int>{0});
            EXPECT_EQ(State(), removed);
        } else {
            // Ended before its first change: KOVA is installed as it was, and the start changes nothing.
            EXPECT_FALSE(ended);
            EXPECT_EQ(State(), before);
        }
    }
}

// A setup without payload cannot complete an install: it says so, and leaves everything, the record
// too, for the dialog's Uninstall or for a setup that carries the files.
TEST_F(Interrupted, SetupWithoutPayloadSaysSoAndLeavesTheInstallation) {
    Interruption clock;
    clock.at = 20;
    registry.interruption = &clock;
    files.interruption = &clock;
    EXPECT_THROW(InstallFromTheDialog(), ProcessEnded);
    registry.interruption = nullptr;
    files.interruption = nullptr;
    registry.EndProcess();
    files.EndProcess();
    files.ownExecutable.resize(300);
    const MachineState left = State();

    EXPECT_FALSE(FinishUnfinishedWork(platform, launcher, quit));

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, UnfinishedText(IDS_UNFINISHED_INSTALLATION));
    EXPECT_EQ(messages.shown[1].text, kNoArchiveText);
    EXPECT_EQ(messages.shown[1].caption, "Installation Fatal Error");
    EXPECT_EQ(State(), left);
    EXPECT_TRUE(Recorded());
}

// Work a newer setup recorded is left to it: this setup's files would take KOVA back to an older
// version. A record without a directory (the install ended between its record and the settings)
// had changed nothing else: its key goes, and Install is offered again.
TEST_F(Interrupted, NewerOrEmptyRecordsAreNotCompleted) {
    registry.AddBinary(HKLM, "Software\\KOVA", "Config", Stored("2.0a", kDir));
    registry.AddDword(HKLM, "Software\\KOVA", kUnfinishedValue, 1);
    const MachineState newer = State();
    EXPECT_FALSE(FinishUnfinishedWork(platform, launcher, quit));
    EXPECT_EQ(State(), newer);
    EXPECT_TRUE(messages.shown.empty());

    Fresh();
    registry.AddDword(HKLM, "Software\\KOVA", kUnfinishedValue, 1);
    EXPECT_FALSE(FinishUnfinishedWork(platform, launcher, quit));
    EXPECT_FALSE(registry.HasKey(HKLM, "Software\\KOVA"));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
