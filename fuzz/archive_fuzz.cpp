// Any bytes as a setup's own file: the archive reader answers Found, NoArchive or Damaged and
// never reads outside the bytes; every entry of a found archive lies inside them. The digest
// record after the bodies is read and checked the same way, whatever follows the bodies. The own
// file read through a small window (24 to 63 bytes, so markers and bodies cross windows) gives
// the same answers as the bytes in memory.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/archive.h"
#include "archive/archive_digest.h"
#include "archive/own_setup_file.h"
#include "archive_marker.h"
#include "fake_file_system.h"
#include "fake_hashing.h"

namespace {

// The same located archive and digest check through the setup's own-file reader.
void CheckWindowed(const uint8_t* data, size_t size, ArchiveStatus expected, const SetupArchive& archive,
                   const DigestCheckResult* digests) {
    FakeFileSystem files;
    files.ownExecutable.assign(data, data + size);
    OwnSetupFile own(files, kMarkerFieldSize + size % 40);
    if (!own.Open()) std::abort();
    SetupArchive windowed;
    if (LocateSetupArchive(own, kArchiveMarkerText, windowed) != expected) std::abort();
    if (expected != ArchiveStatus::Found) return;
    if (windowed.start != archive.start || windowed.count != archive.count || windowed.firstBody != archive.firstBody) {
        std::abort();
    }
    FakeHashing hashing;
    const DigestCheckResult result = CheckArchiveDigests(hashing, own, windowed);
    if (result.status != digests->status || result.record.start != digests->record.start) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupArchive archive;
    MemorySetupBytes file({data, size});
    const ArchiveStatus status = LocateSetupArchive(file, kArchiveMarkerText, archive);
    if (status != ArchiveStatus::Found) {
        CheckWindowed(data, size, status, archive, nullptr);
        return 0;
    }
    uint32_t walked = 0;
    for (ArchiveEntry entry; NextArchiveEntry(archive, entry); ++walked) {
        if (entry.bodyOffset + entry.size > size || std::strlen(entry.name) >= kEntryNameSize) std::abort();
    }
    if (walked != archive.count) std::abort();

    FakeHashing hashing;
    const DigestCheckResult result = CheckArchiveDigests(hashing, file, archive);
    if (result.record.start > size) std::abort();
    const bool recordRead = result.status == DigestCheck::Verified || result.status == DigestCheck::Mismatch;
    if (recordRead && (result.record.end > size || result.record.end - result.record.start !=
                                                       DigestRecordSize(archive.count))) {
        std::abort();
    }
    if (result.status == DigestCheck::Verified && hashing.calls != static_cast<int>(archive.count)) std::abort();
    CheckWindowed(data, size, status, archive, &result);
    return 0;
}
