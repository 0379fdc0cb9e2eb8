#pragma once
// Stored configurations for tests: a record's bytes as the registry holds them, an all-zero record,
// and a stored record of a given version and directory with settings to recognise it by.
#include <algorithm>
#include <cstring>
#include <vector>

#include "configuration/setup_dialog_record.h"

inline constexpr char kStoredDirectory[] = "C:\\KOVA";

inline std::vector<uint8_t> Image(const SetupDialog& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(bytes, bytes + sizeof record);
}

inline SetupDialog Zero() {
    SetupDialog record;
    std::memset(&record, 0, sizeof record);
    return record;
}

inline std::vector<uint8_t> Stored(const char* version, const char* directory = kStoredDirectory) {
    SetupDialog record = Zero();
    std::memcpy(record.version, version, std::min<size_t>(std::strlen(version) + 1, 4));
    std::strcpy(record.installationDirectory, directory);
    std::strcpy(record.fontName, "Courier New");
    record.fontSize = 12;
    record.folderSortKey = 6;
    record.reserved2[3] = 0x5A;
    return Image(record);
}
