#include "setup.h"

#include <cstring>

#include "operations/install.h"
#include "resources/resource_ids.h"
#include "text/text_format.h"

namespace {

constexpr size_t kTextCapacity = 255;      // strings from the table: at most 254 characters
constexpr size_t kMessageCapacity = 1024;  // formatted message texts: at most 1023 characters

constexpr char kAssertCreateKey[] =
    R"x(RegCreateKeyEx(HKEY_LOCAL_MACHINE,"software\\kova",0,NULL,REG_OPTION_NON_VOLATILE,KEY_SET_VALUE,NULL,&regKey,&disposition)==ERROR_SUCCESS)x";
constexpr char kAssertSetConfig[] =
    R"x(RegSetValueEx(regKey,"config",0,REG_BINARY,(unsigned char *)&InstallationInfo,sizeof(SetupDialog))==ERROR_SUCCESS)x";

// ---------------------------------------------------------------- older layouts
// The fields that the 1.0a and 1.0 layouts share with the current one; each sits 60 (1.0a) or
// 64 (1.0) bytes earlier there. Texts are copied up to their terminator, within their field.
struct CarriedField {
    size_t offset;
    size_t width;
    bool text;
};

constexpr CarriedField kCarriedFields[] = {
    {offsetof(SetupDialog, defaultsReviewed), 1, false},
    {offsetof(SetupDialog, installationReviewed), 1, false},
    {offsetof(SetupDialog, reserved3), 767, false},
    {offsetof(SetupDialog, pickFontEveryTime), 1, false},
    {offsetof(SetupDialog, fontName), sizeof SetupDialog::fontName, true},
    {offsetof(SetupDialog, fontSize), sizeof SetupDialog::fontSize, false},
    {offsetof(SetupDialog, useDefaultPrinter), 1, false},
    {offsetof(SetupDialog, printerName), sizeof SetupDialog::printerName, true},
    {offsetof(SetupDialog, installationDirectory), sizeof SetupDialog::installationDirectory, true},
};

constexpr size_t kRelease10aShift = 60;
constexpr size_t kRelease10Shift = 64;
constexpr char kRelease10aVersion[kVersionLength] = {'1', '.', '0', 'a'};
constexpr char kRelease10Version[kVersionLength] = {'1', '.', '0', '\0'};

constexpr bool CarriedFieldsFit(size_t shift, size_t size) {
    for (const CarriedField& field : kCarriedFields) {
        if (field.offset < shift || field.offset - shift + field.width > size) return false;
    }
    return true;
}
static_assert(CarriedFieldsFit(kRelease10aShift, kRelease10aSize));
static_assert(CarriedFieldsFit(kRelease10Shift, kRelease10Size));

uint8_t* RecordBytes(SetupDialog& record) { return reinterpret_cast<uint8_t*>(&record); }
const uint8_t* RecordBytes(const SetupDialog& record) { return reinterpret_cast<const uint8_t*>(&record); }

// Whatever was stored, the texts of the record end within their fields, so no reader of the
// record runs past it.
void TerminateTexts(SetupDialog& record) {
    record.fontName[sizeof record.fontName - 1] = '\0';
    record.printerName[sizeof record.printerName - 1] = '\0';
    record.installationDirectory[sizeof record.installationDirectory - 1] = '\0';
}

void ConvertOlderLayout(std::span<const uint8_t> stored, size_t shift, const char (&version)[kVersionLength],
                        bool backdropAtPrintTime, SetupDialog& record) {
    std::memcpy(record.version, version, kVersionLength);
    record.currentTextPage = 1;
    record.sortAtPrintTime = 1;
    record.fileDisplayAtPrintTime = 1;
    record.backdropAtPrintTime = backdropAtPrintTime ? 1 : 0;
    uint8_t* bytes = RecordBytes(record);
    for (const CarriedField& field : kCarriedFields) {
        const uint8_t* source = stored.data() + field.offset - shift;
        const size_t length =
            field.text ? strnlen(reinterpret_cast<const char*>(source), field.width - 1) : field.width;
        std::memcpy(bytes + field.offset, source, length);
    }
}

// ---------------------------------------------------------------- messages
void ShowString(Platform& platform, int id, const char* caption, uint32_t style) {
    char text[kMessageCapacity] = {};
    platform.strings.Load(id, text, sizeof text);
    platform.messages.Show(text, caption, style);
}

void ShowFormatted(Platform& platform, int id, const char* caption, uint32_t style, const char* first,
                   const char* second = "") {
    char format[kMessageCapacity] = {};
    platform.strings.Load(id, format, sizeof format);
    char text[kMessageCapacity];
    FormatText(text, sizeof text, format, first, second);
    platform.messages.Show(text, caption, style);
}

// A "config" value larger than a record: a later layout, which a newer KOVA wrote. Start-up leaves
// it as it is and says so.
void ReportNewerSettings(Platform& platform, const char* currentVersion) {
    char text[kMessageCapacity];
    FormatText(text, sizeof text,
               "Settings of a newer version of KOVA than this setup's (%s) were found in the registry "
               "(HKEY_LOCAL_MACHINE\\Software\\KOVA). SETUP has left them as they are.",
               currentVersion);
    platform.messages.Show(text, "Newer Settings Found", MessageStyle::Ok | MessageStyle::IconInformation);
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
    if (!registry.Open(RegRoot::LocalMachine, "software\\KOVA\\1.0", RegAccess::QueryValue | RegAccess::Write, key)) {
        return SettingsMove::NoSettings;
    }
    uint32_t size = 0;
    const bool read = registry.Query(
        key, "Settings", std::span(RecordBytes(record) + kVersionLength, sizeof record - kVersionLength), size);
    registry.Close(key);
    if (!read) {
        ShowString(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to query settings key!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    before.settings.present = true;
    std::memcpy(before.settings.bytes, RecordBytes(record) + kVersionLength, size);
    before.settings.size = size;
    std::memcpy(record.version, currentVersion, kVersionLength);
    TerminateTexts(record);

    // The value the move writes over, to put it back exactly if the refresh fails.
    if (registry.Open(RegRoot::LocalMachine, "software\\kova", RegAccess::QueryValue, key)) {
        const ValueRead found = ReadStoredValue(registry, key, "config", before.config);
        registry.Close(key);
        if (found == ValueRead::TooLarge) return SettingsMove::NewerSettings;
    }
    if (!registry.Open(RegRoot::LocalMachine, "software\\kova", RegAccess::SetValue, key)) {
        ShowString(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to open KOVA key!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    const bool written = registry.SetBinary(key, "Config", std::span(RecordBytes(record), sizeof record));
    registry.Close(key);
    if (!written) {
        ShowString(platform, IDS_PREVIOUS_INSTALL_TROUBLE, "Unable to write Config!", MessageStyle::Ok);
        return SettingsMove::Failed;
    }
    registry.DeleteKey(RegRoot::LocalMachine, "software\\kova\\1.0");
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
    if (!registry.Open(RegRoot::LocalMachine, "software\\kova", RegAccess::SetValue, key) &&
        !registry.Create(RegRoot::LocalMachine, "software\\kova", RegAccess::SetValue, key)) {
        ReportAssertionFailure(platform, kAssertCreateKey, __LINE__, __FILE__);
        return false;
    }
    if (!registry.SetBinary(key, "config", std::span(RecordBytes(record), sizeof record))) {
        registry.Close(key);
        ReportAssertionFailure(platform, kAssertSetConfig, __LINE__, __FILE__);
        return false;
    }
    registry.Close(key);
    return true;
}

// Puts back exactly what the upgrade replaced: the version-1.0 settings it moved, and "config" as
// it was, or no "config" where there was none. False when any of that fails.
bool RestoreStoredConfiguration(Platform& platform, const StoredBefore& before) {
    Registry& registry = platform.registry;
    RegKey key = 0;
    bool restored = true;
    if (before.settings.present) {
        restored = registry.Create(RegRoot::LocalMachine, "software\\kova\\1.0", RegAccess::SetValue, key);
        if (restored) {
            restored = registry.SetBinary(key, "Settings", std::span(before.settings.bytes, before.settings.size));
            registry.Close(key);
        }
    }
    if (!registry.Open(RegRoot::LocalMachine, "software\\kova", RegAccess::SetValue, key)) return false;
    const bool config = before.config.present
                            ? registry.SetBinary(key, "config", std::span(before.config.bytes, before.config.size))
                            : registry.DeleteValue(key, "config");
    registry.Close(key);
    return restored && config;
}

void ReportFailedRestore(Platform& platform, const char* oldVersion) {
    char text[kMessageCapacity];
    FormatText(text, sizeof text,
               "Error: the settings of the installed KOVA (%s) could not be put back in the registry "
               "(HKEY_LOCAL_MACHINE\\Software\\KOVA) after the failed upgrade. Run SETUP again with the right to "
               "change that key.",
               oldVersion);
    platform.messages.Show(text, kInstallErrorCaption, MessageStyle::Ok | MessageStyle::IconError);
}

}  // namespace

int VersionNumber(const char* version) {
    int major = 0;
    const char* at = version;
    for (; *at >= '0' && *at <= '9'; ++at) {
        if (major < 100000) major = major * 10 + (*at - '0');
    }
    const char* dot = std::strchr(version, '.');
    const int minor = dot && dot[1] ? dot[1] - '0' : 0;
    const int letter = dot && dot[1] ? static_cast<unsigned char>(dot[2]) : 0;
    return major * 256 + minor * 128 + (letter - 'a');
}

int StoredVersionNumber(std::span<const uint8_t, 4> version) {
    return (version[0] - '0') * 256 + (version[2] - '0') * 128 + (version[3] - 'a');
}

bool StoredVersionText(std::span<const uint8_t> stored, char (&text)[kVersionLength + 1]) {
    if (stored.empty()) return false;
    const auto* bytes = reinterpret_cast<const char*>(stored.data());
    const size_t length = strnlen(bytes, stored.size());
    if (!std::memchr(bytes, '.', length)) return false;
    const size_t kept = length < kVersionLength ? length : kVersionLength;
    std::memcpy(text, bytes, kept);
    text[kept] = '\0';
    return true;
}

StoredLayout ConvertStoredConfiguration(std::span<const uint8_t> stored, SetupDialog& record) {
    std::memset(&record, 0, sizeof record);
    StoredLayout layout = StoredLayout::Unknown;
    switch (stored.size()) {
        case kSetupDialogSize:
            std::memcpy(&record, stored.data(), sizeof record);
            layout = StoredLayout::Current;
            break;
        case kRelease10aSize:
            ConvertOlderLayout(stored, kRelease10aShift, kRelease10aVersion, true, record);
            layout = StoredLayout::Release10a;
            break;
        case kRelease10Size:
            ConvertOlderLayout(stored, kRelease10Shift, kRelease10Version, false, record);
            layout = StoredLayout::Release10;
            break;
        default:
            break;
    }
    TerminateTexts(record);
    return layout;
}

bool LoadConfiguration(Platform& platform, SetupDialog& record) {
    RegKey key = 0;
    if (!platform.registry.Open(RegRoot::LocalMachine, "Software\\KOVA", RegAccess::QueryValue, key)) return false;
    uint8_t buffer[kSetupDialogSize];
    uint32_t size = 0;
    if (platform.registry.Query(key, "Config", buffer, size) && size == sizeof buffer) {
        ConvertStoredConfiguration(buffer, record);
    }
    platform.registry.Close(key);
    return true;
}

bool SaveConfiguration(Platform& platform, const SetupDialog& record, bool installed) {
    Registry& registry = platform.registry;
    RegKey key = 0;
    const bool opened = installed ? registry.Open(RegRoot::LocalMachine, "Software\\KOVA", RegAccess::AllAccess, key)
                                  : registry.Create(RegRoot::LocalMachine, "Software\\KOVA", RegAccess::AllAccess, key);
    if (!opened) return false;
    const bool written = registry.SetBinary(key, "Config", std::span(RecordBytes(record), sizeof record));
    registry.Close(key);
    return written;
}

bool StoreSettingsAndInstall(Platform& platform, const SetupDialog& record, bool installed) {
    if (!SaveConfiguration(platform, record, installed)) {
        if (!installed) platform.registry.DeleteKey(RegRoot::LocalMachine, "Software\\KOVA");
        char text[kMessageCapacity];
        FormatText(text, sizeof text,
                   "Error: the settings could not be saved in the registry (HKEY_LOCAL_MACHINE\\Software\\KOVA, value "
                   "\"Config\"). Setup needs the right to change this key. KOVA NOT %s!",
                   installed ? "updated" : "installed");
        platform.messages.Show(text, kInstallErrorCaption, MessageStyle::Ok | MessageStyle::IconError);
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
            if (!platform.registry.Open(RegRoot::LocalMachine, "software\\kova", RegAccess::PlainOpen, key)) return;
            switch (ReadStoredConfiguration(platform, key, currentVersion, record, oldVersion, before)) {
                case StoredDecision::UpToDate:
                    return;
                case StoredDecision::Newer:
                    ReportNewerSettings(platform, currentVersion);
                    return;
                case StoredDecision::ClearAndUpgrade:
                    ShowFormatted(platform, IDS_INCOMPATIBLE_VERSION, nullptr, MessageStyle::Ok, currentVersion);
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
    if (record.installationDirectory[0] != '\0' &&
        !InstallFiles(platform, record.installationDirectory, InstallMode::Upgrade)) {
        if (!RestoreStoredConfiguration(platform, before)) ReportFailedRestore(platform, oldVersion);
        platform.process.EndProgram(-1);
        return;
    }
    ShowFormatted(platform, IDS_UPGRADED, "Upgraded", MessageStyle::Ok | MessageStyle::IconWarning, oldVersion,
                  currentVersion);
}

void ReportAssertionFailure(Platform& platform, const char* expression, int line, const char* file) {
    char text[kMessageCapacity];
    FormatText(text, sizeof text, "Assertion '%s' failed!\nLine #:%d\nSource Code:%s\nThis thread (%d) will terminate",
               expression, line, file, static_cast<int>(platform.process.CurrentThreadId()));
    platform.messages.Show(text, "Assertion Failure", MessageStyle::Ok | MessageStyle::IconError);
    platform.process.EndProgram(-1);
}
