#include "archive/archive_digest.h"

#include <cstring>

#include "archive/little_endian.h"

size_t DigestRecordSize(uint32_t count) { return kDigestHeaderSize + size_t{kSha256Size} * count; }

void WriteDigestRecordHeader(std::span<uint8_t> record, uint32_t count) {
    std::memcpy(record.data(), kDigestTag, kDigestTagSize);
    WriteU32(record.data() + kDigestTagSize, kDigestVersion);
    WriteU32(record.data() + kDigestTagSize + 4, count);
}

uint8_t* DigestRecordSlot(std::span<uint8_t> record, uint32_t index) {
    return record.data() + kDigestHeaderSize + size_t{kSha256Size} * index;
}

DigestRecordStatus LocateDigestRecord(SetupBytes& file, const SetupArchive& archive, DigestRecord& record) {
    record.start = ArchiveBodiesEnd(archive);
    uint8_t bytes[kDigestHeaderSize + sizeof record.digests];
    const uint64_t left = file.Size() - record.start;
    const std::span<uint8_t> after(bytes, left < sizeof bytes ? static_cast<size_t>(left) : sizeof bytes);
    // A record that cannot be read cannot vouch for the bodies.
    if (!ReadExactly(file, record.start, after)) return DigestRecordStatus::Damaged;
    const size_t tagBytes = after.size() < kDigestTagSize ? after.size() : kDigestTagSize;
    if (tagBytes == 0 || std::memcmp(after.data(), kDigestTag, tagBytes) != 0) return DigestRecordStatus::Absent;
    if (after.size() < kDigestHeaderSize) return DigestRecordStatus::Damaged;
    record.version = ReadU32(after.data() + kDigestTagSize);
    if (record.version != kDigestVersion) return DigestRecordStatus::UnknownVersion;
    // The count is compared before it is used, so the size below cannot overflow.
    if (ReadU32(after.data() + kDigestTagSize + 4) != archive.count) return DigestRecordStatus::Damaged;
    if (after.size() < DigestRecordSize(archive.count)) return DigestRecordStatus::Damaged;
    std::memcpy(record.digests, after.data() + kDigestHeaderSize, size_t{kSha256Size} * archive.count);
    record.end = record.start + DigestRecordSize(archive.count);
    return DigestRecordStatus::Present;
}

namespace {

// The SHA-256 of one body, read a window at a time.
bool HashBody(Hashing& hashing, SetupBytes& file, const ArchiveEntry& entry, Sha256Digest& digest) {
    if (!hashing.Begin()) return false;
    for (uint64_t done = 0; done < entry.size;) {
        const std::span<const uint8_t> piece = file.Read(entry.bodyOffset + done, entry.size - done);
        if (piece.empty() || !hashing.Add(piece)) return false;
        done += piece.size();
    }
    return hashing.Finish(digest);
}

}  // namespace

bool WriteDigestRecord(Hashing& hashing, SetupBytes& file, const SetupArchive& archive, std::span<uint8_t> record) {
    if (record.size() != DigestRecordSize(archive.count)) return false;
    WriteDigestRecordHeader(record, archive.count);
    for (ArchiveEntry entry; NextArchiveEntry(archive, entry);) {
        Sha256Digest digest;
        if (!HashBody(hashing, file, entry, digest)) return false;
        std::memcpy(DigestRecordSlot(record, entry.next - 1), digest.data(), digest.size());
    }
    return true;
}

BodyCheck CheckBodies(Hashing& hashing, SetupBytes& file, const SetupArchive& archive, const DigestRecord& record,
                      ArchiveEntry& entry) {
    while (NextArchiveEntry(archive, entry)) {
        Sha256Digest digest;
        if (!HashBody(hashing, file, entry, digest)) return BodyCheck::HashFailed;
        if (std::memcmp(digest.data(), record.digests + size_t{kSha256Size} * (entry.next - 1), digest.size()) != 0) {
            return BodyCheck::Mismatch;
        }
    }
    return BodyCheck::Match;
}

DigestCheckResult CheckArchiveDigests(Hashing& hashing, SetupBytes& file, const SetupArchive& archive) {
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

bool ArchiveDigestsMatch(Platform& platform, SetupBytes& own, const SetupArchive& archive) {
    DigestRecord record;
    const DigestRecordStatus status = LocateDigestRecord(own, archive, record);
    if (status != DigestRecordStatus::Present) return status != DigestRecordStatus::Damaged;
    ArchiveEntry entry;
    return platform.hashing != nullptr &&
           CheckBodies(*platform.hashing, own, archive, record, entry) == BodyCheck::Match;
}
