// Any bytes as a stored "config" value: the conversion must stay within the value and the record,
// leave every text terminated within its field, and the version reading must agree with it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "configuration/configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> stored(data, size);
    SetupDialog record;
    std::memset(&record, 0xA5, sizeof record);
    const StoredLayout layout = ConvertStoredConfiguration(stored, record);

    if (strnlen(record.fontName, sizeof record.fontName) == sizeof record.fontName) std::abort();
    if (strnlen(record.printerName, sizeof record.printerName) == sizeof record.printerName) std::abort();
    if (strnlen(record.installationDirectory, kMaxPath) == kMaxPath) std::abort();
    const bool known = size == kSetupDialogSize || size == kRelease10aSize || size == kRelease10Size;
    if ((layout == StoredLayout::Unknown) == known) std::abort();
    if (layout == StoredLayout::Release10a && std::memcmp(record.version, "1.0a", 4) != 0) std::abort();

    char version[kVersionLength + 1] = {};
    if (StoredVersionText(stored, version)) {
        if (std::strlen(version) > kVersionLength || !std::memchr(data, '.', size)) std::abort();
        uint8_t head[4] = {};
        std::memcpy(head, data, size < 4 ? size : 4);
        StoredVersionNumber(head);
    }
    record.version[kVersionLength - 1] = '\0';
    VersionNumber(record.version);
    return 0;
}
