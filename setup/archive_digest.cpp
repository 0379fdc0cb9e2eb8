#include "archive_digest.h"

#include <cstring>

#include "little_endian.h"

namespace {

uint8_t* DigestOf(std::span<uint8_t> record, uint32_t index) {
    return record.data() + kDigestHeaderSize + size_t{kSha256Size} * index;
}

}  // namespace

size_t DigestRecordSize(uint32_t count) { return kDigestHeaderSize + size_t{kSha256Size} * count; }

size_t ArchiveBodiesEnd(std::span<const uint8_t> file, const SetupArchive& archive) {
    size_t end = archive.firstBody;
    const uint8_t* sizes = file.data() + archive.start + kArchiveHeaderSize + kEntrySizeOffset;
    for (uint32_t i = 0; i < archive.count; ++i) end += ReadU32(sizes + size_t{kEntrySize} * i);
    return end;
}

DigestRecordStatus LocateDigestRecord(std::span<const uint8_t> file, const SetupArchive& archive,
                                      DigestRecord& record) {
    record.start = ArchiveBodiesEnd(file, archive);
    const std::span<const uint8_t> after = file.subspan(record.start);
    const size_t tagBytes = after.size() < kDigestTagSize ? after.size() : kDigestTagSize;
    if (tagBytes == 0 || std::memcmp(after.data(), kDigestTag, tagBytes) != 0) return DigestRecordStatus::Absent;
    if (after.size() < kDigestHeaderSize) return DigestRecordStatus::Damaged;
    record.version = ReadU32(after.data() + kDigestTagSize);
    if (record.version != kDigestVersion) return DigestRecordStatus::UnknownVersion;
    // The count is compared before it is used, so the size below cannot overflow.
    if (ReadU32(after.data() + kDigestTagSize + 4) != archive.count) return DigestRecordStatus::Damaged;
    if (after.size() < DigestRecordSize(archive.count)) return DigestRecordStatus::Damaged;
    record.end = record.start + DigestRecordSize(archive.count);
    return DigestRecordStatus::Present;
}

bool WriteDigestRecord(Hashing& hashing, std::span<const uint8_t> file, const SetupArchive& archive,
                       std::span<uint8_t> record) {
    if (record.size() != DigestRecordSize(archive.count)) return false;
    std::memcpy(record.data(), kDigestTag, kDigestTagSize);
    WriteU32(record.data() + kDigestTagSize, kDigestVersion);
    WriteU32(record.data() + kDigestTagSize + 4, archive.count);
    for (ArchiveEntry entry; NextArchiveEntry(file, archive, entry);) {
        Sha256Digest digest;
        if (!hashing.Sha256(file.subspan(entry.bodyOffset, entry.size), digest)) return false;
        std::memcpy(DigestOf(record, entry.next - 1), digest.data(), digest.size());
    }
    return true;
}

BodyCheck CheckBodies(Hashing& hashing, std::span<const uint8_t> file, const SetupArchive& archive,
                      const DigestRecord& record, ArchiveEntry& entry) {
    const uint8_t* digests = file.data() + record.start + kDigestHeaderSize;
    while (NextArchiveEntry(file, archive, entry)) {
        Sha256Digest digest;
        if (!hashing.Sha256(file.subspan(entry.bodyOffset, entry.size), digest)) return BodyCheck::HashFailed;
        if (std::memcmp(digest.data(), digests + size_t{kSha256Size} * (entry.next - 1), digest.size()) != 0) {
            return BodyCheck::Mismatch;
        }
    }
    return BodyCheck::Match;
}

DigestCheckResult CheckArchiveDigests(Hashing& hashing, std::span<const uint8_t> file, const SetupArchive& archive) {
    DigestCheckResult result;
    switch (LocateDigestRecord(file, archive, result.record)) {
        case DigestRecordStatus::Absent: return result;
        case DigestRecordStatus::UnknownVersion: result.status = DigestCheck::UnknownVersion; return result;
        case DigestRecordStatus::Damaged: result.status = DigestCheck::DamagedRecord; return result;
        case DigestRecordStatus::Present: break;
    }
    switch (CheckBodies(hashing, file, archive, result.record, result.entry)) {
        case BodyCheck::Match: result.status = DigestCheck::Verified; break;
        case BodyCheck::Mismatch: result.status = DigestCheck::Mismatch; break;
        case BodyCheck::HashFailed: result.status = DigestCheck::HashFailed; break;
    }
    return result;
}

bool ArchiveDigestsMatch(Platform& platform, const MappedSetupFile& own) {
    DigestRecord record;
    const DigestRecordStatus status = LocateDigestRecord(own.bytes(), own.archive, record);
    if (status != DigestRecordStatus::Present) return status != DigestRecordStatus::Damaged;
    ArchiveEntry entry;
    return platform.hashing != nullptr &&
           CheckBodies(*platform.hashing, own.bytes(), own.archive, record, entry) == BodyCheck::Match;
}
