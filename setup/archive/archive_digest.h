#pragma once
// Digest record: setup-pack writes it right after the last body, where the entry table says the
// archive ends, so that bytes appended to the file later (an Authenticode signature) do not hide
// it. Integers are unsigned 32-bit little-endian.
//
//   offset 0    8 bytes      tag "KOVA-SHA"
//   offset 8    4 bytes      version, 1
//   offset 12   4 bytes      count: the archive's entry count
//   offset 16   32 * count   SHA-256 of each body, in archive order
//
// A reader that does not know the record ignores it, as it ignores any bytes after the bodies.
// The image is not covered: signing rewrites its checksum and certificate-table fields.
#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/archive.h"
#include "platform/hashing.h"

inline constexpr char kDigestTag[] = "KOVA-SHA";
inline constexpr size_t kDigestTagSize = sizeof kDigestTag - 1;
inline constexpr size_t kDigestHeaderSize = 16;
inline constexpr uint32_t kDigestVersion = 1;

enum class DigestRecordStatus {
    Absent,          // nothing, or bytes that are not a record, after the bodies
    Present,         // a whole record of this version for every entry
    UnknownVersion,  // the tag with a version this program does not read
    Damaged,         // the tag, or its start, with the rest cut off or not matching the archive
};

struct DigestRecord {
    uint64_t start = 0;  // where the last body ends
    uint64_t end = 0;    // one past the last digest, for a Present record
    uint32_t version = 0;
    uint8_t digests[kSha256Size * kMaxArchiveEntries];  // of a Present record
};

size_t DigestRecordSize(uint32_t count);

// Writes the tag, version and count at the start of `record` (DigestRecordSize(count) bytes).
void WriteDigestRecordHeader(std::span<uint8_t> record, uint32_t count);

// Where the digest of the body of entry `index` (from 0) goes in `record`.
uint8_t* DigestRecordSlot(std::span<uint8_t> record, uint32_t index);

DigestRecordStatus LocateDigestRecord(SetupBytes& file, const SetupArchive& archive, DigestRecord& record);

// Fills `record` (DigestRecordSize(archive.count) bytes) with the record for the archive's bodies.
bool WriteDigestRecord(Hashing& hashing, SetupBytes& file, const SetupArchive& archive, std::span<uint8_t> record);

enum class BodyCheck { Match, Mismatch, HashFailed };

// Hashes every body and compares it with its digest in a Present `record`; on a Mismatch or
// HashFailed, `entry` is the entry whose body was being checked.
BodyCheck CheckBodies(Hashing& hashing, SetupBytes& file, const SetupArchive& archive, const DigestRecord& record,
                      ArchiveEntry& entry);

enum class DigestCheck { Verified, NoRecord, UnknownVersion, DamagedRecord, Mismatch, HashFailed };

struct DigestCheckResult {
    DigestCheck status = DigestCheck::NoRecord;
    DigestRecord record;
    ArchiveEntry entry;  // for Mismatch and HashFailed: the entry whose body was being checked
};

// Locates the record and, when it is Present, hashes every body and compares it with its digest.
DigestCheckResult CheckArchiveDigests(Hashing& hashing, SetupBytes& file, const SetupArchive& archive);

// Whether the setup may trust the bodies of its own archive: yes without a record (as before the
// record existed) or with a record of a later version, which this program cannot read; otherwise
// only when every body matches its digest.
bool ArchiveDigestsMatch(Platform& platform, SetupBytes& own, const SetupArchive& archive);
