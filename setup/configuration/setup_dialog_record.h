#pragma once
// SetupDialog: everything the setup dialog shows and gathers, in one fixed 1644-byte layout. The
// record is also the stored format: the registry value "config" holds it byte for byte, so every
// field, padding and reserved byte below keeps its offset. Integers are 32-bit little-endian,
// flags are single bytes (any non-zero byte reads as true), texts are zero-terminated in their fields.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "platform/ports.h"

inline constexpr size_t kVersionLength = 4;       // digit, ".", digit, letter; no terminator
inline constexpr size_t kRecordTextSize = 255;    // fontName, printerName: at most 254 characters
inline constexpr size_t kSetupDialogSize = 1644;

struct SetupDialog {
    char version[kVersionLength];
    uint8_t reserved1[4];
    int32_t currentTab;        // 0 Welcome, 1 Requirements, 2 Defaults, 3 Installation
    int32_t currentTextPage;   // counting from 1
    int32_t defaultsCategory;  // 0 Printer/Font, 1 Sorting, 2 File display, 3 Backdrop, 4 Folder display
    uint8_t sortAtPrintTime;
    uint8_t sortFolders;
    uint8_t padding1[2];
    int32_t folderSortKey;  // SortKey code, 0 to 6
    uint8_t sortFiles;
    uint8_t padding2[3];
    int32_t fileSortKey;  // SortKey code, 0 to 4
    int32_t folderSortDescending;
    int32_t fileSortDescending;
    uint8_t fileDisplayAtPrintTime;
    uint8_t folderDisplayAtPrintTime;
    uint8_t padding3[2];
    int32_t fileDisplayColumn;    // DisplayColumn code, 0 to 4
    int32_t folderDisplayColumn;  // DisplayColumn code, 0 to 6
    int32_t fileSizeUnit;         // SizeUnit code, 0 to 3
    int32_t folderSizeUnit;       // SizeUnit code, 0 to 3
    uint8_t printBackdrop;
    uint8_t backdropAtPrintTime;
    uint8_t padding4[2];
    uint8_t reserved2[8];
    uint8_t defaultsReviewed;
    uint8_t installationReviewed;
    uint8_t registryPrivilege;
    uint8_t reserved3[778];
    uint8_t pickFontEveryTime;
    char fontName[kRecordTextSize];
    uint8_t padding5[3];
    int32_t fontSize;
    int32_t printerCount;
    uint8_t useDefaultPrinter;
    uint8_t pickPrinterEveryTime;
    char printerName[kRecordTextSize];
    char installationDirectory[kMaxPath];
    uint8_t padding6[3];
};

static_assert(std::endian::native == std::endian::little, "the record is stored in the machine's byte order");
static_assert(std::is_trivially_copyable_v<SetupDialog> && std::is_standard_layout_v<SetupDialog>);
static_assert(sizeof(SetupDialog) == kSetupDialogSize);
static_assert(offsetof(SetupDialog, version) == 0);
static_assert(offsetof(SetupDialog, reserved1) == 4);
static_assert(offsetof(SetupDialog, currentTab) == 8);
static_assert(offsetof(SetupDialog, currentTextPage) == 12);
static_assert(offsetof(SetupDialog, defaultsCategory) == 16);
static_assert(offsetof(SetupDialog, sortAtPrintTime) == 20);
static_assert(offsetof(SetupDialog, sortFolders) == 21);
static_assert(offsetof(SetupDialog, padding1) == 22);
static_assert(offsetof(SetupDialog, folderSortKey) == 24);
static_assert(offsetof(SetupDialog, sortFiles) == 28);
static_assert(offsetof(SetupDialog, padding2) == 29);
static_assert(offsetof(SetupDialog, fileSortKey) == 32);
static_assert(offsetof(SetupDialog, folderSortDescending) == 36);
static_assert(offsetof(SetupDialog, fileSortDescending) == 40);
static_assert(offsetof(SetupDialog, fileDisplayAtPrintTime) == 44);
static_assert(offsetof(SetupDialog, folderDisplayAtPrintTime) == 45);
static_assert(offsetof(SetupDialog, padding3) == 46);
static_assert(offsetof(SetupDialog, fileDisplayColumn) == 48);
static_assert(offsetof(SetupDialog, folderDisplayColumn) == 52);
static_assert(offsetof(SetupDialog, fileSizeUnit) == 56);
static_assert(offsetof(SetupDialog, folderSizeUnit) == 60);
static_assert(offsetof(SetupDialog, printBackdrop) == 64);
static_assert(offsetof(SetupDialog, backdropAtPrintTime) == 65);
static_assert(offsetof(SetupDialog, padding4) == 66);
static_assert(offsetof(SetupDialog, reserved2) == 68);
static_assert(offsetof(SetupDialog, defaultsReviewed) == 76);
static_assert(offsetof(SetupDialog, installationReviewed) == 77);
static_assert(offsetof(SetupDialog, registryPrivilege) == 78);
static_assert(offsetof(SetupDialog, reserved3) == 79);
static_assert(offsetof(SetupDialog, pickFontEveryTime) == 857);
static_assert(offsetof(SetupDialog, fontName) == 858);
static_assert(offsetof(SetupDialog, padding5) == 1113);
static_assert(offsetof(SetupDialog, fontSize) == 1116);
static_assert(offsetof(SetupDialog, printerCount) == 1120);
static_assert(offsetof(SetupDialog, useDefaultPrinter) == 1124);
static_assert(offsetof(SetupDialog, pickPrinterEveryTime) == 1125);
static_assert(offsetof(SetupDialog, printerName) == 1126);
static_assert(offsetof(SetupDialog, installationDirectory) == 1381);
static_assert(offsetof(SetupDialog, padding6) == 1641);

// The text of a text field (fontName, printerName, installationDirectory): up to its terminator, and
// never longer than the field holds beside one, since a damaged stored value may lack it.
template <size_t Width>
std::string_view RecordText(const char (&field)[Width]) {
    return {field, strnlen(field, Width - 1)};
}

// A new record: all zero, then the current version (the first four characters of string 26),
// tab 1 and text page 1, "Pick font every time" and "Use default printer".
void InitNewRecord(SetupDialog& record, Strings& strings);

// ---------------------------------------------------------------- code tables
// Each table maps a stored code to the string resource of the list entry that stands for it;
// 0 where the code has no list entry of its own. The Defaults lists sort their entries and keep
// each entry's code with it.

// Sort key (folderSortKey, fileSortKey): 0 none chosen, 1 Creation Date, 2 Modification Date,
// 3 Name, 4 Size, 5 contained folder count, 6 contained file count (5 and 6 folders only).
inline constexpr std::array<int, 7> kSortKeyStrings = {0, 30, 31, 28, 29, 42, 43};
inline constexpr int kFileSortKeyCount = 5;

// Display column (fileDisplayColumn, folderDisplayColumn): 0 Normal, then "Enhanced. Show" with
// 1 Creation Date, 2 Modification Date, 3 Size, 4 Sort Parameter, 5 contained folder count,
// 6 contained file count (5 and 6 folders only).
inline constexpr std::array<int, 7> kDisplayColumnStrings = {0, 30, 31, 29, 36, 42, 43};
inline constexpr int kFileDisplayColumnCount = 5;
inline constexpr int kDisplayColumnSize = 3;

// Size unit (fileSizeUnit, folderSizeUnit): 0 (Auto), 1 bytes, 2 K, 3 Megabytes.
inline constexpr std::array<int, 4> kSizeUnitStrings = {35, 32, 33, 34};
