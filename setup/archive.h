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
// The setup maps its whole own file into a 32-bit address space, which rarely has a larger free
// range in one piece.
inline constexpr uint64_t kMaxSetupSize = uint64_t{1} << 30;

// One entry as the reader hands it out, with its body located in the file. A default entry
// stands before the first; NextArchiveEntry moves it on through the table.
struct ArchiveEntry {
    uint8_t destination = 0;
    uint32_t size = 0;
    const char* name = nullptr;  // points into the file's bytes; always zero-terminated
    size_t bodyOffset = 0;       // from the start of the file
    uint32_t next = 0;           // table position of the entry that follows this one
};

// A located and checked archive within a file's bytes.
struct SetupArchive {
    size_t start = 0;      // first byte of the marker field
    uint32_t count = 0;
    size_t firstBody = 0;  // start + 28 + 268 * count
};

enum class ArchiveStatus { Found, NoArchive, Damaged };

// Why an archive is damaged, or why the writer refuses a name. The name checks are the rules of
// an ordinary Windows file name: a name that breaks one would not install as the file it names.
enum class ArchiveFault : uint8_t {
    None,
    TooManyEntries,      // the count is above kMaxArchiveEntries
    TablePastEnd,        // the entry table runs past the end of the file
    BodiesPastEnd,       // the sizes add up to more than the file holds
    Unterminated,        // no zero within the 260-byte name field
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

// Finds the first marker and checks that the count, table, names and sizes stay within the file.
// A marker text that does not fit its field, more than 16 entries, a table or body running past
// the end of the file, or a name that CheckEntryName refuses or that repeats an earlier one of the
// same destination, makes the archive Damaged; `damage`, when given, then says why.
ArchiveStatus LocateSetupArchive(std::span<const uint8_t> file, std::string_view marker, SetupArchive& archive,
                                 ArchiveDamage* damage = nullptr);

// Moves `entry` to the next entry of an archive that LocateSetupArchive has checked; false after
// the last. Each body starts where the one before ended, so the walk costs one step per entry:
//   for (ArchiveEntry entry; NextArchiveEntry(file, archive, entry);) ...
bool NextArchiveEntry(std::span<const uint8_t> file, const SetupArchive& archive, ArchiveEntry& entry);

// The first rule of an ordinary Windows file name that `name` (in Windows-1252) breaks, or None.
ArchiveFault CheckEntryName(std::string_view name);
// True when two names in Windows-1252 are the same file name for Windows, which ignores letter case.
bool SameEntryName(std::string_view a, std::string_view b);

// Writes the 28-byte marker field and count. False when the marker does not fit its field.
bool WriteArchiveHeader(std::span<uint8_t, kArchiveHeaderSize> header, std::string_view marker, uint32_t count);
// Writes one 268-byte entry record. False when CheckEntryName refuses `name`.
bool WriteArchiveEntry(std::span<uint8_t, kEntrySize> entry, uint8_t destination, uint32_t size, std::string_view name);

// A setup file mapped whole, and the archive in it: the running program's own file, or a setup
// that setup-pack reads. The view is released with the FileSystem that mapped it.
class MappedSetupFile {
public:
    explicit MappedSetupFile(FileSystem& files) : files_(files) {}
    MappedSetupFile(const MappedSetupFile&) = delete;
    MappedSetupFile& operator=(const MappedSetupFile&) = delete;
    ~MappedSetupFile() {
        if (view.data != nullptr) files_.Unmap(view);
    }
    std::span<const uint8_t> bytes() const { return {view.data, view.size}; }
    // False when the platform cannot read the own file.
    bool Map() { return files_.MapOwnExecutable(view); }

    FileView view;
    SetupArchive archive;

private:
    FileSystem& files_;
};

// Loads the marker text (string 23) and locates the archive in the own file, mapped before.
ArchiveStatus FindSetupArchive(Platform& platform, MappedSetupFile& own);
