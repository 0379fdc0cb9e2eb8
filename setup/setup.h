#pragma once
// The registry side of the setup program: loading and saving the stored configuration ("config"
// under HKLM "Software\KOVA"), the conversion of older layouts, the version upgrade that runs
// before the dialog, and the assertion reporter.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/ports.h"
#include "configuration/setup_dialog_record.h"

// Reads the stored record into `record` when the key exists; a value that is missing or not a
// whole record leaves `record` as it is. Returns true (installed) when the key exists.
bool LoadConfiguration(Platform& platform, SetupDialog& record);

// Stores the record as "Config": opens the key when `installed`, creates it otherwise. Returns
// false when nothing could be stored.
bool SaveConfiguration(Platform& platform, const SetupDialog& record, bool installed);

// The Install or Update command: stores the record, then, when not `installed`, installs the files.
// A record that cannot be stored is reported and nothing is installed (a key this call created is
// removed again, so the next start still offers Install); returns false then, true otherwise.
bool StoreSettingsAndInstall(Platform& platform, const SetupDialog& record, bool installed);

// Finds an earlier installation, brings its stored configuration to the current layout and
// version, refreshes the installed files and tells the user. Ends the program (exit status -1)
// when the refresh fails, after putting the stored configuration back as it was (the next start
// tries the upgrade again), or when an assertion fails.
void CheckForUpgrade(Platform& platform);

// Shows the assertion box and ends the program with exit code -1.
void ReportAssertionFailure(Platform& platform, const char* expression, int line, const char* file);

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
