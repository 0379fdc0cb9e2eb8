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

// Position of the first occurrence of `needle` in `haystack`, or npos.
size_t FindFirst(std::span<const uint8_t> haystack, std::string_view needle);

// Finds the first marker and checks that the count, table, names and sizes stay within the file.
// A marker text that does not fit its field, or a table or body running past the end of the
// file, or a name that is unterminated, empty or not a bare file name, makes the archive Damaged.
ArchiveStatus LocateSetupArchive(std::span<const uint8_t> file, std::string_view marker, SetupArchive& archive);

// Moves `entry` to the next entry of an archive that LocateSetupArchive has checked; false after
// the last. Each body starts where the one before ended, so the walk costs one step per entry:
//   for (ArchiveEntry entry; NextArchiveEntry(file, archive, entry);) ...
bool NextArchiveEntry(std::span<const uint8_t> file, const SetupArchive& archive, ArchiveEntry& entry);

// True when `name` can stand as a bare file name in an entry (no directory part, fits the field).
bool IsBareFileName(std::string_view name);

// Writes the 28-byte marker field and count. False when the marker does not fit its field.
bool WriteArchiveHeader(std::span<uint8_t, kArchiveHeaderSize> header, std::string_view marker, uint32_t count);
// Writes one 268-byte entry record. False when `name` is not a bare file name.
bool WriteArchiveEntry(std::span<uint8_t, kEntrySize> entry, uint8_t destination, uint32_t size, std::string_view name);

// The running program's own file, mapped, and the archive in it.
class OwnSetupFile {
public:
    explicit OwnSetupFile(FileSystem& files) : files_(files) {}
    OwnSetupFile(const OwnSetupFile&) = delete;
    OwnSetupFile& operator=(const OwnSetupFile&) = delete;
    ~OwnSetupFile() {
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
ArchiveStatus FindSetupArchive(Platform& platform, OwnSetupFile& own);
