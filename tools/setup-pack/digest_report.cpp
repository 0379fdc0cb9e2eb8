#include "digest_report.h"

#include <cstring>

#include "archive/archive_digest.h"
#include "archive/little_endian.h"
#include "archive_marker.h"
#include "platform/hashing_posix.h"
#include "windows_1252.h"

namespace {

// The field at `at`, or 0 where the file cannot be read.
uint32_t ReadU32(SetupBytes& file, uint64_t at) {
    uint8_t field[4] = {};
    return ReadExactly(file, at, field) ? ::ReadU32(field) : 0;
}

uint16_t ReadU16(SetupBytes& file, uint64_t at) {
    uint8_t field[2] = {};
    return ReadExactly(file, at, field) ? static_cast<uint16_t>(field[0] | field[1] << 8) : 0;
}

// Where the archive's own bytes end: after the record when there is one, else after the bodies.
uint64_t ArchiveEnd(SetupBytes& file, const SetupArchive& archive) {
    DigestRecord record;
    if (LocateDigestRecord(file, archive, record) == DigestRecordStatus::Present) return record.end;
    return record.start;
}

std::string EntryLabel(const ArchiveEntry& entry) {
    return "entry " + std::to_string(entry.next) + " \"" + PrintableName(entry.name) + "\"";
}

}  // namespace

std::string DigestRecordLine(SetupBytes& file, const SetupArchive& archive) {
    DigestRecord record;
    switch (LocateDigestRecord(file, archive, record)) {
        case DigestRecordStatus::Absent: return "digest record: none";
        case DigestRecordStatus::Present:
            return "digest record: SHA-256 of " + std::to_string(archive.count) + " bodies at offset " +
                   std::to_string(record.start);
        case DigestRecordStatus::UnknownVersion:
            return "digest record: version " + std::to_string(record.version) + ", not known to this setup-pack";
        case DigestRecordStatus::Damaged: return "digest record: damaged";
    }
    return {};
}

bool DigestCheckLine(const DigestCheckResult& result, uint32_t count, std::string& line) {
    switch (result.status) {
        case DigestCheck::Verified:
            line = std::to_string(count) + " bodies, SHA-256 verified";
            return true;
        case DigestCheck::NoRecord:
            line = "no digest record: bodies not checked";
            return true;
        case DigestCheck::UnknownVersion:
            line = "the digest record has version " + std::to_string(result.record.version) +
                   ", which this setup-pack does not know: bodies not checked";
            return false;
        case DigestCheck::DamagedRecord:
            line = "the setup archive is damaged: the digest record after the bodies is cut short or does not "
                   "match the entry table";
            return false;
        case DigestCheck::Mismatch:
            line = "the setup archive is damaged: " + EntryLabel(result.entry) +
                   ": its body differs from its SHA-256 in the digest record";
            return false;
        case DigestCheck::HashFailed:
            line = "cannot hash " + EntryLabel(result.entry);
            return false;
    }
    return false;
}

bool VerifyDigestRecord(SetupBytes& file, const SetupArchive& archive, std::string& line) {
    OpenSslHashing hashing;
    return DigestCheckLine(CheckArchiveDigests(hashing, file, archive), archive.count, line);
}

std::string SignatureLine(SetupBytes& file, const SetupArchive& archive) {
    // The certificate table is data directory 4 of the PE optional header; its address is a file offset.
    constexpr uint64_t kPeOffsetField = 0x3c;
    if (file.Size() < kPeOffsetField + 4) return "no signature";
    const uint64_t pe = ReadU32(file, kPeOffsetField);
    const uint64_t optional = pe + 24;
    if (pe > archive.start || optional + 2 > archive.start || ReadU32(file, pe) != 0x4550) return "no signature";
    const bool pe32Plus = ReadU16(file, optional) == 0x20b;
    const uint64_t directory = optional + (pe32Plus ? 112 : 96) + 4 * 8;
    if (directory + 8 > archive.start) return "no signature";
    const uint64_t offset = ReadU32(file, directory);
    const uint64_t size = ReadU32(file, directory + 4);
    if (offset == 0 && size == 0) return "no signature";
    if (offset < ArchiveEnd(file, archive) || offset + size > file.Size()) {
        return "a certificate table at offset " + std::to_string(offset) + " does not lie after the archive";
    }
    return "an Authenticode signature of " + std::to_string(size) + " bytes at offset " + std::to_string(offset) +
           " follows the archive";
}
