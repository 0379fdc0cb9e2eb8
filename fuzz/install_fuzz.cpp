// Any bytes as the setup's own file, installed in memory as the Install button does: the archive
// reader, the check of every body against its digest, then the building of every target path in a
// directory and a system directory whose lengths the input chooses (around the 259-character
// limit), then the writing. Every failure is reported in a message box, no path written is longer
// than 259 characters, no handle stays open, and a successful run has written every entry of the
// archive.
//
// The input: data[0] and data[1], the lengths of the directory and of the system directory;
// data[2] bit 0, whether the harness seals the archive it finds with a correct digest record, so
// that runs get past the digest check as a packed setup does; the rest, the own file.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive.h"
#include "archive/archive_digest.h"
#include "archive/setup_bytes.h"
#include "fake_file_system.h"
#include "fake_hashing.h"
#include "fake_messages.h"
#include "fake_process.h"
#include "fake_registry.h"
#include "operations/install.h"
#include "operations/installed_paths.h"
#include "rc_strings.h"

namespace {

// Replaces whatever follows the bodies of the archive in `own` with the digest record of its bodies.
void Seal(std::vector<uint8_t>& own, std::string_view marker, Hashing& hashing) {
    MemorySetupBytes bytes(own);
    SetupArchive archive;
    if (LocateSetupArchive(bytes, marker, archive) != ArchiveStatus::Found) return;
    std::vector<uint8_t> record(DigestRecordSize(archive.count));
    if (!WriteDigestRecord(hashing, bytes, archive, record)) return;
    own.resize(ArchiveBodiesEnd(archive));
    own.insert(own.end(), record.begin(), record.end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static RcStrings strings;
    const std::string directory = "C:\\" + std::string(data[0], 'd');
    FakeFileSystem files;
    files.systemDirectory = "C:\\" + std::string(data[1], 's');
    files.AddDirectory(files.systemDirectory);
    files.ownExecutable.assign(data + 3, data + size);
    FakeHashing hashing;
    if (data[2] & 1) Seal(files.ownExecutable, strings.Text(23), hashing);
    FakeRegistry registry;
    FakeMessages messages;
    FakeProcess process;
    Platform platform{registry, files, messages, strings, process, &hashing};

    const bool installed = InstallFiles(platform, directory.c_str(), InstallMode::Install);

    if (messages.shown.empty()) std::abort();
    if (files.OpenHandles() != 0) std::abort();
    for (const std::string& path : files.FilePaths()) {
        if (path.size() >= kMaxPath) std::abort();
    }
    if (!installed) return 0;
    const std::span<const uint8_t> own(files.ownExecutable);
    SetupArchive archive;
    if (LocateSetupArchive(own, strings.Text(23), archive) != ArchiveStatus::Found) std::abort();
    for (ArchiveEntry entry; NextArchiveEntry(archive, entry);) {
        const std::string& folder = entry.destination != 0 ? files.systemDirectory : directory;
        char path[kMaxPath];
        if (!BuildTargetPath(path, folder.c_str(), entry.name) || !files.HasFile(path)) std::abort();
    }
    return 0;
}
