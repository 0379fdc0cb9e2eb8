// Any bytes as a setup's own file: the archive reader answers Found, NoArchive or Damaged and
// never reads outside the bytes; every entry of a found archive lies inside them. The digest
// record after the bodies is read and checked the same way, whatever follows the bodies.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive.h"
#include "archive_digest.h"
#include "archive_marker.h"
#include "fake_hashing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupArchive archive;
    if (LocateSetupArchive({data, size}, kArchiveMarkerText, archive) != ArchiveStatus::Found) return 0;
    uint32_t walked = 0;
    for (ArchiveEntry entry; NextArchiveEntry({data, size}, archive, entry); ++walked) {
        if (entry.bodyOffset + entry.size > size || std::strlen(entry.name) >= kEntryNameSize) std::abort();
    }
    if (walked != archive.count) std::abort();

    FakeHashing hashing;
    const DigestCheckResult result = CheckArchiveDigests(hashing, {data, size}, archive);
    if (result.record.start > size) std::abort();
    const bool recordRead = result.status == DigestCheck::Verified || result.status == DigestCheck::Mismatch;
    if (recordRead && (result.record.end > size || result.record.end - result.record.start !=
                                                       DigestRecordSize(archive.count))) {
        std::abort();
    }
    if (result.status == DigestCheck::Verified && hashing.calls != static_cast<int>(archive.count)) std::abort();
    return 0;
}
