// Any bytes as a setup's own file: the archive reader answers Found, NoArchive or Damaged and
// never reads outside the bytes; every entry of a found archive lies inside them.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive.h"
#include "archive_marker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupArchive archive;
    if (LocateSetupArchive({data, size}, kArchiveMarkerText, archive) != ArchiveStatus::Found) return 0;
    uint32_t walked = 0;
    for (ArchiveEntry entry; NextArchiveEntry({data, size}, archive, entry); ++walked) {
        if (entry.bodyOffset + entry.size > size || std::strlen(entry.name) >= kEntryNameSize) std::abort();
    }
    if (walked != archive.count) std::abort();
    return 0;
}
