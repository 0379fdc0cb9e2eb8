// Any bytes as the setup's own file, installed in memory as the Install button does: the archive
// reader, then the building of every target path in a directory and a system directory whose
// lengths the input chooses (around the 259-character limit), then the writing. Every failure is
// reported in a message box, no path written is longer than 259 characters, no handle stays open,
// and a successful run has written every entry of the archive.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive.h"
#include "fake_file_system.h"
#include "fake_messages.h"
#include "fake_process.h"
#include "fake_registry.h"
#include "install.h"
#include "rc_strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static RcStrings strings;
    const std::string directory = "C:\\" + std::string(data[0], 'd');
    FakeFileSystem files;
    files.systemDirectory = "C:\\" + std::string(data[1], 's');
    files.AddDirectory(files.systemDirectory);
    files.ownExecutable.assign(data + 2, data + size);
    FakeRegistry registry;
    FakeMessages messages;
    FakeProcess process;
    Platform platform{registry, files, messages, strings, process};

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
