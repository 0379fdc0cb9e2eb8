#include "configuration/configuration.h"

#include <cstring>

#include "configuration/registry_keys.h"
#include "configuration/unfinished_work.h"

namespace {

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

}  // namespace

uint8_t* RecordBytes(SetupDialog& record) { return reinterpret_cast<uint8_t*>(&record); }
const uint8_t* RecordBytes(const SetupDialog& record) { return reinterpret_cast<const uint8_t*>(&record); }

void TerminateTexts(SetupDialog& record) {
    record.fontName[sizeof record.fontName - 1] = '\0';
    record.printerName[sizeof record.printerName - 1] = '\0';
    record.installationDirectory[sizeof record.installationDirectory - 1] = '\0';
}

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
    if (!platform.registry.Open(RegRoot::LocalMachine, kKovaKey, RegAccess::QueryValue, key)) return false;
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
    const bool opened = installed ? registry.Open(RegRoot::LocalMachine, kKovaKey, RegAccess::AllAccess, key)
                                  : registry.Create(RegRoot::LocalMachine, kKovaKey, RegAccess::AllAccess, key);
    if (!opened) return false;
    // The first save starts an install: its record goes first, so that an install interrupted after
    // it is completed by the next start.
    const bool written =
        (installed || registry.SetDword(key, kUnfinishedValue, static_cast<uint32_t>(UnfinishedWork::Install))) &&
        registry.SetBinary(key, "Config", std::span(RecordBytes(record), sizeof record));
    registry.Close(key);
    return written;
}
