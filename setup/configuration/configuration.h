#pragma once
// The stored configuration: the SetupDialog record as the value "Config" under HKLM "Software\KOVA",
// its load and save, and the conversion of the layouts and versions older setups stored.
#include <cstddef>
#include <cstdint>
#include <span>

#include "configuration/setup_dialog_record.h"
#include "platform/ports.h"

// Reads the stored record into `record` when the key exists; a value that is missing or not a
// whole record leaves `record` as it is. Returns true (installed) when the key exists.
bool LoadConfiguration(Platform& platform, SetupDialog& record);

// Stores the record as "Config": opens the key when `installed`, creates it otherwise and records
// the install under way (configuration/unfinished_work.h) before it. Returns false when nothing
// could be stored.
bool SaveConfiguration(Platform& platform, const SetupDialog& record, bool installed);

// Version number of "D.DL": D1 * 256 + D2 * 128 + (L - 'a'); a missing letter counts as 0, so
// "1.0" is 159, "1.0a" 256, "1.0e" 260. The major part is the decimal number before the first ".".
int VersionNumber(const char* version);
// Version number of a stored record's first bytes: bytes 0, 2 and 3 as digit, digit, letter.
int StoredVersionNumber(std::span<const uint8_t, 4> version);

enum class StoredLayout { Current, Release10a, Release10, Unknown };

inline constexpr size_t kRelease10aSize = 1584;
inline constexpr size_t kRelease10Size = 1580;

// Brings a stored "config" value, whatever its bytes, into `record`: a whole record is copied, the
// 1.0a (1584 bytes) and 1.0 (1580 bytes) layouts are converted, anything else clears the record.
StoredLayout ConvertStoredConfiguration(std::span<const uint8_t> stored, SetupDialog& record);

// The version text of a stored value when its bytes before the first zero hold a ".": its first
// four characters (fewer when a zero comes earlier) into `text`, and true. False otherwise.
bool StoredVersionText(std::span<const uint8_t> stored, char (&text)[kVersionLength + 1]);

// The record as bytes, as it is stored.
uint8_t* RecordBytes(SetupDialog& record);
const uint8_t* RecordBytes(const SetupDialog& record);

// Whatever was stored, the texts of the record end within their fields, so no reader of the
// record runs past it.
void TerminateTexts(SetupDialog& record);
