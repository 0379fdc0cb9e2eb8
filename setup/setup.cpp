#include "setup.h"

#include <cstring>

#include "configuration/registry_keys.h"
#include "configuration/unfinished_work.h"
#include "operations/install.h"
#include "operations/uninstall.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/text_format.h"

namespace {

constexpr size_t kTextCapacity = 255;  // strings from the table: at most 254 characters

constexpr char kAssertCreateKey[] =
    R"x(RegCreateKeyEx(HKEY_LOCAL_MACHINE,"software\\kova",0,NULL,REG_OPTION_NON_VOLATILE,KEY_SET_VALUE,NULL,&regKey,&disposition)==ERROR_SUCCESS)x";
constexpr char kAssertSetConfig[] =
    R"x(RegSetValueEx(regKey,"config",0,REG_BINARY,(unsigned char *)&InstallationInfo,sizeof(SetupDialog))==ERROR_SUCCESS)x";

// A "config" value larger than a record: a later layout, which a newer KOVA wrote. Start-up leaves
// it as it is and says so.
void ReportNewerSettings(Platform& platform, const char* currentVersion) {
    ShowMessage(platform.messages, "Newer Settings Found", MessageStyle::Ok | MessageStyle::IconInformation,
                "Settings of a newer version of KOVA than this setup's (%s) were found in the registry "
                "(HKEY_LOCAL_MACHINE\\Software\\KOVA). SETUP has left them as they are.",
                currentVersion);
}

// ---------------------------------------------------------------- upgrade steps
enum class SettingsMove { NoSettings, Moved, Failed, NewerSettings };

// A stored value as it was read: whether there was one, and its bytes.
struct StoredValue {
    bool present;
    uint8_t bytes[kSetupDialogSize];
    uint32_t size;
};

// What the upgrade replaces in the registry, as it was: put back exactly when the refresh of the
// files fails, so that the next start meets the older version again and retries the whole upgrade.
struct StoredBefore {
    StoredValue config;    // "config" of "software\kova"
    StoredValue settings;  // "Settings" of the version-1.0 key, when the upgrade moved them
};

enum class ValueRead { Read, Missing, TooLarge };

// Written before the upgraded "config", through its key: a start after an interruption then
// finishes the refresh that the stored version no longer calls for.
bool RecordRefreshUnderWay(Registry& registry, RegKey key) {
    return registry.SetDword(key, kUnfinishedValue, static_cast<uint32_t>(UnfinishedWork::Refresh));
}

// Reads the value `name` of the key `key` into `value`; a value larger than a record is not read.
ValueRead ReadStoredValue(Registry& registry, RegKey key, const char* name, StoredValue& value) {
    value.size = 0;
    value.present = registry.Query(key, name, value.bytes, value.size) && value.size <= sizeof value.bytes;
    if (value.present) return ValueRead::Read;
    const bool tooLarge = value.size > sizeof value.bytes;
    value.size = 0;
    return tooLarge ? ValueRead::TooLarge : ValueRead::Missing;
}

// Version 1.0 kept its settings, the current layout without the version field, in "Settings" of
// its own key. They become "Config", and the old key goes.
SettingsMove MoveRelease10Settings(Platform& platform, SetupDialog& record, const char* currentVersion,
                                   StoredBefore& before) {
    Registry& registry = platform.registry;
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kRelease10Key, RegAccess::QueryValue | RegAccess::Write, key)) {
        return SettingsMove::NoSettings;
    }
    uint32_t size = 0;
    const bool read = registry.Query(
        key, "Settings", std::span(RecordBytes(record) + kVersionLength, sizeof record - kVersionLength), size);
    registry.Close(key);
    if (!read) {
        ShowStringMessage(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to query settings key!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    before.settings.present = true;
    std::memcpy(before.settings.bytes, RecordBytes(record) + kVersionLength, size);
    before.settings.size = size;
    std::memcpy(record.version, currentVersion, kVersionLength);
    TerminateTexts(record);

    // The value the move writes over, to put it back exactly if the refresh fails.
    if (registry.Open(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::QueryValue, key)) {
        const ValueRead found = ReadStoredValue(registry, key, "config", before.config);
        registry.Close(key);
        if (found == ValueRead::TooLarge) return SettingsMove::NewerSettings;
    }
    if (!registry.Open(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::SetValue, key)) {
        ShowStringMessage(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to open KOVA key!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    const bool written = RecordRefreshUnderWay(registry, key) &&
                         registry.SetBinary(key, "Config", std::span(RecordBytes(record), sizeof record));
    registry.Close(key);
    if (!written) {
        ShowStringMessage(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to write Config!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    registry.DeleteKey(RegRoot::LocalMachine, kRelease10KeyInRemoval);
    return SettingsMove::Moved;
}

enum class StoredDecision {
    Upgrade,          // older, or no version that can be read: upgraded to the current version
    ClearAndUpgrade,  // the same, from a layout that cannot be converted: the settings are cleared
    UpToDate,         // the current version or a newer one in a layout this setup reads
    Newer,            // a newer KOVA's settings in a layout this setup cannot read: left as they are
};

// Reads and converts "config" of the key `key`, and closes the key; the old version's text goes
// into `oldVersion`. A missing value is taken as a 1.0a value whose bytes are all zero.
StoredDecision ReadStoredConfiguration(Platform& platform, RegKey key, const char* currentVersion, SetupDialog& record,
                                       char (&oldVersion)[kTextCapacity], StoredBefore& before) {
    const ValueRead found = ReadStoredValue(platform.registry, key, "config", before.config);
    platform.registry.Close(key);
    if (found == ValueRead::TooLarge) return StoredDecision::Newer;
    uint8_t zeros[kRelease10aSize] = {};
    const std::span<const uint8_t> stored =
        found == ValueRead::Read ? std::span<const uint8_t>(before.config.bytes, before.config.size) : zeros;
    const bool converted = ConvertStoredConfiguration(stored, record) != StoredLayout::Unknown;

    char storedVersion[kVersionLength + 1];
    if (!StoredVersionText(stored, storedVersion)) {
        FormatText(oldVersion, sizeof oldVersion, "Unknown");
        return converted ? StoredDecision::Upgrade : StoredDecision::ClearAndUpgrade;
    }
    FormatText(oldVersion, sizeof oldVersion, "%s", storedVersion);
    if (VersionNumber(currentVersion) > StoredVersionNumber(stored.first<4>())) {
        return converted ? StoredDecision::Upgrade : StoredDecision::ClearAndUpgrade;
    }
    return converted ? StoredDecision::UpToDate : StoredDecision::Newer;
}

// Both writes must succeed: the version stored here is what keeps the next run from upgrading again.
bool StoreUpgradedRecord(Platform& platform, const SetupDialog& record) {
    Registry& registry = platform.registry;
    RegKey key = 0;
    if (!registry.Open(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::SetValue, key) &&
        !registry.Create(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::SetValue, key)) {
        ReportAssertionFailure(platform, kAssertCreateKey, __LINE__, __FILE__);
        return false;
    }
    if (!RecordRefreshUnderWay(registry, key) ||
        !registry.SetBinary(key, "config", std::span(RecordBytes(record), sizeof record))) {
        registry.Close(key);
        ReportAssertionFailure(platform, kAssertSetConfig, __LINE__, __FILE__);
        return false;
    }
    registry.Close(key);
    return true;
}

// Puts back exactly what the upgrade replaced: the version-1.0 settings it moved, "config" as it
// was, or no "config" where there was none, and no record of a refresh under way. False when any of
// that fails; the record then stays, and the next start finishes the refresh.
bool RestoreStoredConfiguration(Platform& platform, const StoredBefore& before) {
    Registry& registry = platform.registry;
    RegKey key = 0;
    bool restored = true;
    if (before.settings.present) {
        restored = registry.Create(RegRoot::LocalMachine, kRelease10KeyInRemoval, RegAccess::SetValue, key);
        if (restored) {
            restored = registry.SetBinary(key, "Settings", std::span(before.settings.bytes, before.settings.size));
            registry.Close(key);
        }
    }
    if (!registry.Open(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::SetValue, key)) return false;
    const bool config = before.config.present
                            ? registry.SetBinary(key, "config", std::span(before.config.bytes, before.config.size))
                            : registry.DeleteValue(key, "config");
    if (restored && config) registry.DeleteValue(key, kUnfinishedValue);
    registry.Close(key);
    return restored && config;
}

void ReportFailedRestore(Platform& platform, const char* oldVersion) {
    ShowInstallError(platform.messages,
                     "Error: the settings of the installed KOVA (%s) could not be put back in the registry "
                     "(HKEY_LOCAL_MACHINE\\Software\\KOVA) after the failed upgrade. Run SETUP again with the right to "
                     "change that key.",
                     oldVersion);
}

}  // namespace

bool StoreSettingsAndInstall(Platform& platform, const SetupDialog& record, bool installed) {
    if (!SaveConfiguration(platform, record, installed)) {
        if (!installed) platform.registry.DeleteKey(RegRoot::LocalMachine, kKovaKey);
        ShowInstallError(
            platform.messages,
            "Error: the settings could not be saved in the registry (HKEY_LOCAL_MACHINE\\Software\\KOVA, value "
            "\"Config\"). Setup needs the right to change this key. KOVA NOT %s!",
            installed ? "updated" : "installed");
        return false;
    }
    if (!installed) InstallFiles(platform, record.installationDirectory, InstallMode::Install);
    return true;
}

void CheckForUpgrade(Platform& platform) {
    SetupDialog record;
    std::memset(&record, 0, sizeof record);
    char currentVersion[kTextCapacity] = {};
    platform.strings.Load(IDS_VERSION, currentVersion, sizeof currentVersion);
    char oldVersion[kTextCapacity] = {};
    StoredBefore before;
    std::memset(&before, 0, sizeof before);

    switch (MoveRelease10Settings(platform, record, currentVersion, before)) {
        case SettingsMove::Failed:
            return;
        case SettingsMove::NewerSettings:
            ReportNewerSettings(platform, currentVersion);
            return;
        case SettingsMove::Moved:
            FormatText(oldVersion, sizeof oldVersion, "1.0");
            break;
        case SettingsMove::NoSettings: {
            RegKey key = 0;
            if (!platform.registry.Open(RegRoot::LocalMachine, kKovaKeyInUpgrade, RegAccess::PlainOpen, key)) return;
            switch (ReadStoredConfiguration(platform, key, currentVersion, record, oldVersion, before)) {
                case StoredDecision::UpToDate:
                    return;
                case StoredDecision::Newer:
                    ReportNewerSettings(platform, currentVersion);
                    return;
                case StoredDecision::ClearAndUpgrade:
                    ShowStringMessage(platform, IDS_INCOMPATIBLE_VERSION, nullptr, MessageStyle::Ok, currentVersion);
                    break;
                case StoredDecision::Upgrade:
                    break;
            }
            break;
        }
    }

    std::memcpy(record.version, currentVersion, kVersionLength);
    if (!StoreUpgradedRecord(platform, record)) return;
    // A cleared configuration names no directory; refreshing "" would write into the root of the
    // current drive, so the upgrade is reported without a refresh.
    if (record.installationDirectory[0] == '\0') {
        RecordWork(platform.registry, UnfinishedWork::None);
    } else if (!InstallFiles(platform, record.installationDirectory, InstallMode::Upgrade)) {
        if (!RestoreStoredConfiguration(platform, before)) ReportFailedRestore(platform, oldVersion);
        platform.process.EndProgram(-1);
        return;
    }
    ShowStringMessage(platform, IDS_UPGRADED, "Upgraded", MessageStyle::Ok | MessageStyle::IconWarning, oldVersion,
                      currentVersion);
}

bool FinishUnfinishedWork(Platform& platform, ProgramLauncher& launcher, QuitRequest& quit) {
    const UnfinishedWork work = FindUnfinishedWork(platform.registry);
    if (work == UnfinishedWork::None) return false;
    SetupDialog record;
    std::memset(&record, 0, sizeof record);
    LoadConfiguration(platform, record);
    char currentVersion[kTextCapacity] = {};
    platform.strings.Load(IDS_VERSION, currentVersion, sizeof currentVersion);
    // A newer setup's work is left to it: this setup's files would take KOVA back to an older version.
    const std::span<const uint8_t, kVersionLength> storedVersion(RecordBytes(record), kVersionLength);
    if (record.version[0] != '\0' && StoredVersionNumber(storedVersion) > VersionNumber(currentVersion)) return false;
    const char* directory = record.installationDirectory;
    // The configuration is written right after the record: without a directory the install had
    // changed nothing else, and the refresh has nothing to refresh.
    if (directory[0] == '\0' && work != UnfinishedWork::Uninstall) {
        if (work == UnfinishedWork::Install) {
            platform.registry.DeleteKey(RegRoot::LocalMachine, kKovaKey);
        } else {
            RecordWork(platform.registry, UnfinishedWork::None);
        }
        return false;
    }
    char what[kTextCapacity] = {};
    platform.strings.Load(work == UnfinishedWork::Uninstall ? IDS_UNFINISHED_REMOVAL : IDS_UNFINISHED_INSTALLATION,
                          what, sizeof what);
    ShowStringMessage(platform, IDS_UNFINISHED, kInstallerCaption, MessageStyle::Ok | MessageStyle::IconInformation,
                      what);
    switch (work) {
        case UnfinishedWork::Install:
            return InstallFiles(platform, directory, InstallMode::Complete);
        case UnfinishedWork::Refresh:
            if (!InstallFiles(platform, directory, InstallMode::Upgrade)) {
                platform.process.EndProgram(-1);
                return true;
            }
            return false;
        case UnfinishedWork::Uninstall:
            return RemoveInstallation(platform, launcher, quit, record);
        case UnfinishedWork::None:
            break;
    }
    return false;
}

void ReportAssertionFailure(Platform& platform, const char* expression, int line, const char* file) {
    ShowMessage(platform.messages, "Assertion Failure", kErrorBox,
                "Assertion '%s' failed!\nLine #:%d\nSource Code:%s\nThis thread (%d) will terminate", expression, line,
                file, static_cast<int>(platform.process.CurrentThreadId()));
    platform.process.EndProgram(-1);
}
