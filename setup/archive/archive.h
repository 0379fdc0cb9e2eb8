#pragma once
// SetupArchive: the payload appended behind the setup image. All integers are unsigned 32-bit
// little-endian; nothing is aligned or padded.
//
//   offset 0              24 bytes   marker field: marker text, zero, zeros up to 24
//   offset 24             4 bytes    count of ArchiveEntry records
//   offset 28             268*count  entry table, in body order
//   then                  sum(size)  the bodies, one after another
//
// ArchiveEntry (268 bytes): destination flag (1 byte: 0 installation directory, else system
// directory), 3 reserved zero bytes, size (4 bytes), bare file name (260 bytes, zero-terminated).
//
// The reader and both writers (build mode and setup-pack) share this one definition.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "archive/setup_bytes.h"
#include "platform/ports.h"

inline constexpr size_t kMarkerFieldSize = 24;
inline constexpr size_t kArchiveHeaderSize = 28;
inline constexpr size_t kEntrySize = 268;
inline constexpr size_t kEntryNameSize = 260;
inline constexpr size_t kEntrySizeOffset = 4;
inline constexpr size_t kEntryNameOffset = 8;
static_assert(kEntryNameOffset + kEntryNameSize == kEntrySize);

// A setup carries at most this many files.
inline constexpr uint32_t kMaxArchiveEntries = 16;
// The longest entry name that still fits a path beside the shortest folder, a drive root such as
// "C:" with the backslash before the name: 259 characters in all.
inline constexpr size_t kMaxEntryNameLength = kMaxPath - 1 - 3 - 1;
// Windows does not start a program file of 4 GiB or more.
inline constexpr uint64_t kMaxSetupSize = 0xFFFFFFFFu;
// The marker field, the count and the largest entry table.
inline constexpr size_t kMaxArchiveTableSize = kArchiveHeaderSize + kEntrySize * kMaxArchiveEntries;

// One entry as the reader hands it out, with its body located in the file. A default entry
// stands before the first; NextArchiveEntry moves it on through the table.
struct ArchiveEntry {
    uint8_t destination = 0;
    uint32_t size = 0;
    const char* name = nullptr;  // points into the archive's copy of the table; always zero-terminated
    uint64_t bodyOffset = 0;     // from the start of the file
    uint32_t next = 0;           // table position of the entry that follows this one
};

// A located and checked archive, with a copy of its marker field, count and entry table.
struct SetupArchive {
    uint64_t start = 0;  // first byte of the marker field
    uint32_t count = 0;
    uint64_t firstBody = 0;  // start + 28 + 268 * count
    uint8_t table[kMaxArchiveTableSize];
};

// Unreadable: the file could not be read up to where the archive would have been found.
enum class ArchiveStatus { Found, NoArchive, Damaged, Unreadable };

// Why an archive is damaged, or why the writer refuses a name. The name checks are the rules of
// an ordinary Windows file name: a name that breaks one would not install as the file it names.
enum class ArchiveFault : uint8_t {
    None,
    NoImage,         // the file does not start with a PE image
    InsideImage,     // the marker lies before the end of the image's last section
    NoEntries,       // the count is 0
    TooManyEntries,  // the count is above kMaxArchiveEntries
    TablePastEnd,    // the entry table runs past the end of the file
    BodiesPastEnd,   // the sizes add up to more than the file holds
    Unterminated,    // no zero within the 260-byte name field
    EmptyName,
    NameTooLong,         // longer than kMaxEntryNameLength
    PathCharacter,       // \ / or :
    ReservedCharacter,   // < > " | ? *
    ControlCharacter,    // bytes 1 to 31
    TrailingDotOrBlank,  // also "." and ".."
    DeviceName,          // CON PRN AUX NUL COM1-9 LPT1-9, in any case, with or without an extension
    SameName,            // equal, but for letter case, to an earlier entry of the same destination
};

// The fault and, for a name fault, the entry (counted from 0) and the earlier one it repeats.
struct ArchiveDamage {
    ArchiveFault fault = ArchiveFault::None;
    uint32_t entry = 0;
    uint32_t earlier = 0;
    uint32_t count = 0;  // the archive's count
};

// The rule a fault breaks, for messages, e.g. "a reserved device name (CON, PRN, AUX, NUL, ...)".
const char* ArchiveFaultText(ArchiveFault fault);

// Position of the first occurrence of `needle` in `haystack`, or npos.
size_t FindFirst(std::span<const uint8_t> haystack, std::string_view needle);

// The PE headers, section table included, must lie in the first this many bytes of the file.
inline constexpr size_t kImageHeadersSize = 1024;
// Where the PE image at the start of the file ends: after the raw data of the last section of its
// section table (the linker lays them out in order); the archive may start there at the earliest.
// 0 when the file does not start with a PE image with a section and headers that fit
// kImageHeadersSize.
uint64_t ProgramImageEnd(SetupBytes& file);

// The position of the first marker in the file, read from the start a window at a time; false
// when there is none, or when a read fails (file.Failed() then says so).
bool FindArchiveMarker(SetupBytes& file, std::string_view marker, uint64_t& at);

// Finds the first marker, reading the file from the start, and checks that the count, table,
// names and sizes stay within the file. A file that does not start with a PE image, a marker
// before the end of the image's last section (the setup would take its own code or data for the
// archive), a marker text that does not fit its field, no entries or more than 16, a table or
// body running past the end of the file, or a name that CheckEntryName refuses or that repeats an
// earlier one of the same destination, makes the archive Damaged; `damage`, when given, then says
// why.
ArchiveStatus LocateSetupArchive(SetupBytes& file, std::string_view marker, SetupArchive& archive,
                                 ArchiveDamage* damage = nullptr);
inline ArchiveStatus LocateSetupArchive(std::span<const uint8_t> file, std::string_view marker, SetupArchive& archive,
                                        ArchiveDamage* damage = nullptr) {
    MemorySetupBytes bytes(file);
    return LocateSetupArchive(bytes, marker, archive, damage);
}

// Moves `entry` to the next entry of an archive that LocateSetupArchive has checked; false after
// the last. Each body starts where the one before ended, so the walk costs one step per entry:
//   for (ArchiveEntry entry; NextArchiveEntry(archive, entry);) ...
bool NextArchiveEntry(const SetupArchive& archive, ArchiveEntry& entry);
// The name field of entry `index` in the table LocateSetupArchive read, kEntryNameSize bytes: of a
// Found archive, or of a Damaged one whose fault names an entry (then not always zero-terminated).
const char* ArchiveEntryNameField(const SetupArchive& archive, uint32_t index);
// One past the last body.
uint64_t ArchiveBodiesEnd(const SetupArchive& archive);

// The first rule of an ordinary Windows file name that `name` (in Windows-1252) breaks, or None.
ArchiveFault CheckEntryName(std::string_view name);
// True when two names in Windows-1252 are the same file name for Windows, which ignores letter case.
bool SameEntryName(std::string_view a, std::string_view b);

// Writes the 28-byte marker field and count. False when the marker does not fit its field.
bool WriteArchiveHeader(std::span<uint8_t, kArchiveHeaderSize> header, std::string_view marker, uint32_t count);
// Writes one 268-byte entry record. False when CheckEntryName refuses `name`.
bool WriteArchiveEntry(std::span<uint8_t, kEntrySize> entry, uint8_t destination, uint32_t size, std::string_view name);

// Loads the marker text (string 23) and locates the archive in the own file.
ArchiveStatus FindSetupArchive(Platform& platform, SetupBytes& own, SetupArchive& archive);
