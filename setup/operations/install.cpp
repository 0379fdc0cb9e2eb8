#include "operations/install.h"

#include <cstdarg>
#include <cstring>

#include "archive/archive.h"
#include "archive/archive_digest.h"
#include "archive/own_setup_file.h"
#include "configuration/registry_keys.h"
#include "configuration/unfinished_work.h"
#include "operations/installed_paths.h"
#include "operations/shared_files.h"
#include "operations/uninstall_entry.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/text_format.h"

namespace {

using Mode = InstallMode;

struct Job {
    Platform& platform;
    const char* directory;
    Mode mode;
    // A failure leaves the configuration and the list entry: they belong to an installation that
    // stays (the one being upgraded, or the one whose unfinished install is being completed).
    bool keepsSettings;
    OwnSetupFile own;
    SetupArchive archive;
    char systemDirectory[kMaxPath] = {};
    bool haveSystemDirectory = false;
    // The system-directory files this install has counted, by archive entry, and which of them it
    // wrote: a failed install takes both back.
    SharedFileCountBefore counted[kMaxArchiveEntries] = {};
    bool wroteShared[kMaxArchiveEntries] = {};
};

const char* Outcome(Mode mode) {
    switch (mode) {
        case Mode::Install:
        case Mode::Complete:
            return "installed";
        case Mode::Upgrade:
            return "upgraded";
        case Mode::Remove:
            return "removed";
    }
    return "installed";
}

}  // namespace

void ShowInstallError(Messages& messages, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    ShowMessageV(messages, kInstallErrorCaption, kErrorBox, format, arguments);
    va_end(arguments);
}

namespace {

bool TargetPath(const Job& job, const ArchiveEntry& entry, char (&path)[kMaxPath]) {
    if (entry.destination != 0 && !job.haveSystemDirectory) return false;
    return BuildTargetPath(path, entry.destination != 0 ? job.systemDirectory : job.directory, entry.name);
}

// The target path, and the partial file's path beside it.
bool EntryPathsFit(const Job& job, const ArchiveEntry& entry, char (&path)[kMaxPath]) {
    char partial[kMaxPath];
    return TargetPath(job, entry, path) && BuildPartialPath(partial, path);
}

// Puts the system directory's shared files and their counts back as the install found them.
void TakeBackSharedFiles(Job& job) {
    char path[kMaxPath];
    size_t index = 0;
    for (ArchiveEntry entry; NextArchiveEntry(job.archive, entry); ++index) {
        if (entry.destination == 0 || !TargetPath(job, entry, path)) continue;
        TakeBackSharedFileUser(job.platform.registry, path, job.counted[index]);
        if (job.wroteShared[index]) job.platform.files.Delete(path);
    }
}

// Every failure leaves KOVA uninstalled as far as the next run, and Windows' list of installed
// programs, are concerned (unless upgrading, when the configuration belongs to the installation
// being upgraded), so that Install is offered again instead of an Update that would never write the
// missing files.
bool Abandon(Job& job) {
    if (job.mode == Mode::Install) TakeBackSharedFiles(job);
    if (!job.keepsSettings) {
        RemoveUninstallEntry(job.platform.registry);
        job.platform.registry.DeleteKey(RegRoot::LocalMachine, kKovaKey);
    }
    return false;
}

bool BuildShellValue(char (&out)[kMaxPath], const char* directory, ShellValue value) {
    if (value == ShellValue::Icon) return BuildIconString(out, directory);
    return BuildCommandString(out, directory, value == ShellValue::FilteredCommand);
}

bool CheckDirectory(Job& job) {
    if (job.directory[0] == '\0') {
        ShowInstallError(job.platform.messages, "Error: no installation directory was given. KOVA NOT %s!",
                         Outcome(job.mode));
        return false;
    }
    return true;
}

void ReportTooLong(Job& job) {
    ShowInstallError(job.platform.messages,
                     "Error: the installation directory \"%.259s\" is too long: the path of a KOVA file in it would "
                     "exceed 259 characters. Please choose a shorter directory. KOVA NOT %s!",
                     job.directory, Outcome(job.mode));
}

// Builds every path and string once before anything is written, so that a directory that is too
// long is refused as a whole instead of failing halfway.
bool CheckPaths(Job& job) {
    if (strnlen(job.directory, kMaxPath) == kMaxPath) {
        ReportTooLong(job);
        return false;
    }
    char path[kMaxPath];
    bool fits = true;
    if (job.mode == Mode::Install) {
        for (const ShellEntry& entry : kShellEntries) fits = fits && BuildShellValue(path, job.directory, entry.value);
    }
    if (job.mode != Mode::Remove) {
        char partial[kMaxPath];
        fits = fits && BuildTargetPath(path, job.directory, kSetupCopyName) && BuildPartialPath(partial, path);
    }
    for (ArchiveEntry entry; fits && NextArchiveEntry(job.archive, entry);) {
        if (entry.destination != 0 && !job.haveSystemDirectory) {
            job.haveSystemDirectory = job.platform.files.SystemDirectory(job.systemDirectory) &&
                                      strnlen(job.systemDirectory, kMaxPath) < kMaxPath;
            if (!job.haveSystemDirectory) {
                ShowInstallError(
                    job.platform.messages,
                    "Error: the Windows system directory, where \"%s\" belongs, could not be found. KOVA NOT %s!",
                    entry.name, Outcome(job.mode));
                return false;
            }
        }
        if (!EntryPathsFit(job, entry, path)) {
            if (entry.destination == 0) {
                fits = false;
            } else {
                ShowInstallError(
                    job.platform.messages,
                    "Error: the path of \"%s\" in the Windows system directory would exceed 259 characters. "
                    "KOVA NOT %s!",
                    entry.name, Outcome(job.mode));
                return false;
            }
        }
    }
    if (!fits) ReportTooLong(job);
    return fits;
}

// Creates the directory and every missing directory above it; a directory that exists already, or
// a bare drive name, fails harmlessly. A real failure shows when the first file cannot be created.
void MakeDirectoryChain(FileSystem& files, const char* directory) {
    char prefix[kMaxPath];
    for (size_t i = 0; directory[i] != '\0'; ++i) {
        if (i == 0 || directory[i] != '\\' || directory[i - 1] == '\\') continue;
        std::memcpy(prefix, directory, i);
        prefix[i] = '\0';
        files.MakeDirectory(prefix);
    }
    files.MakeDirectory(directory);
}

// Copies `size` bytes of the own file from `offset`: inside the platform where it can, else a
// window at a time.
bool CopyFromOwnFile(FileSystem& files, OwnSetupFile& own, uint64_t offset, uint64_t size, FileHandle to) {
    uint64_t done = 0;
    for (long long copied; done < size && (copied = files.CopyRange(own.handle(), static_cast<int64_t>(offset + done),
                                                                    to, size - done)) > 0;) {
        done += static_cast<uint64_t>(copied);
    }
    while (done < size) {
        const std::span<const uint8_t> piece = own.Read(offset + done, size - done);
        if (piece.empty() || !files.Write(to, piece)) return false;
        done += piece.size();
    }
    return true;
}

// Writes `size` bytes of the own file from `offset` as the file `path`: first under its partial
// name, then, once it is whole and on the disk, renamed into place. Whenever the process ends, the
// file under its own name is the old one or the whole new one, never a part; a later install writes
// the partial file again under the same name, so none survives it. A partial file that fails is
// deleted again.
bool WriteWholeFile(Job& job, const char* path, uint64_t offset, uint64_t size) {
    FileSystem& files = job.platform.files;
    char partial[kMaxPath];
    BuildPartialPath(partial, path);
    FileHandle file = 0;
    if (!files.CreateTruncated(partial, file)) return false;
    bool ok = (size == 0 || CopyFromOwnFile(files, job.own, offset, size, file)) && files.Flush(file);
    ok = files.Close(file) && ok && files.Rename(partial, path);
    if (!ok) files.Delete(partial);
    return ok;
}

void ReportUnreadableOwnFile(Job& job) {
    ShowInstallError(job.platform.messages,
                     "Error: SETUP could not read its own program file, which carries the KOVA files. Copy SETUP to a "
                     "folder with a plain name, such as C:\\Temp, and start it from there. KOVA NOT %s!",
                     Outcome(job.mode));
}

// A copy fails for the target, or because the own file could not be read on.
void ReportWriteFailure(Job& job, const char* path) {
    if (job.own.Failed()) {
        ReportUnreadableOwnFile(job);
        return;
    }
    if (job.mode == Mode::Upgrade) {
        ShowInstallError(
            job.platform.messages,
            "Error: the file \"%s\" could not be written; it may be in use, the disk may be full or the folder "
            "may be protected. KOVA NOT upgraded! The upgrade will be tried again the next time SETUP starts.",
            path);
        return;
    }
    ShowInstallError(
        job.platform.messages,
        "Error: the file \"%s\" could not be written; the disk may be full or the folder may be protected. "
        "KOVA NOT fully %s!",
        path, Outcome(job.mode));
}

bool WritePayload(Job& job) {
    char path[kMaxPath];
    size_t index = 0;
    for (ArchiveEntry entry; NextArchiveEntry(job.archive, entry); ++index) {
        TargetPath(job, entry, path);
        // A file of the system directory may be shared with other programs: one that is there stays,
        // and an installation (not an upgrade's refresh) counts itself as one more user of it.
        const bool shared = entry.destination != 0;
        const bool wasThere = shared && job.platform.files.CanOpenForReading(path);
        if (!wasThere && !WriteWholeFile(job, path, entry.bodyOffset, entry.size)) {
            ReportWriteFailure(job, path);
            return false;
        }
        if (shared && job.mode == Mode::Install) {
            job.wroteShared[index] = !wasThere;
            job.counted[index] = AddSharedFileUser(job.platform.registry, path, wasThere);
        }
    }
    return true;
}

// The whole own file, image and archive, so that the copy can install again. When the program
// runs from that copy, it is in place already (and could not be written over while it runs).
bool WriteSetupCopy(Job& job) {
    char path[kMaxPath];
    BuildTargetPath(path, job.directory, kSetupCopyName);
    if (job.platform.files.IsOwnExecutable(path)) return true;
    if (WriteWholeFile(job, path, 0, job.own.Size())) return true;
    ReportWriteFailure(job, path);
    return false;
}

// Registered after the files are in place, so the shell never offers verbs for a missing KOVA.exe.
bool RegisterShellEntries(Job& job) {
    Registry& registry = job.platform.registry;
    char value[kMaxPath];
    for (const ShellEntry& entry : kShellEntries) {
        BuildShellValue(value, job.directory, entry.value);
        RegKey key = 0;
        bool ok = registry.Create(RegRoot::ClassesRoot, entry.key, RegAccess::AllAccess, key);
        if (ok) {
            ok = registry.SetString(key, nullptr, value);
            registry.Close(key);
        }
        if (!ok) {
            ShowInstallError(
                job.platform.messages,
                "Error: the registry key HKEY_CLASSES_ROOT\\%s could not be written, so the Print commands are "
                "not available. KOVA NOT fully %s!",
                entry.key, Outcome(job.mode));
            return false;
        }
    }
    return true;
}

// The entry of Windows' list of installed programs, written last: it names what is installed.
bool RegisterUninstallEntry(Job& job) {
    uint64_t installedBytes = job.own.Size();
    for (ArchiveEntry entry; NextArchiveEntry(job.archive, entry);) installedBytes += entry.size;
    if (WriteUninstallEntry(job.platform, job.directory, installedBytes)) return true;
    ShowInstallError(job.platform.messages,
                     "Error: the registry key HKEY_LOCAL_MACHINE\\%s could not be written, so KOVA is missing from "
                     "Windows' list of installed programs. KOVA NOT fully %s!",
                     kUninstallEntryKey, Outcome(job.mode));
    return false;
}

// Deletes every payload file; one that is gone already is passed over. A shared system file goes
// only with its last user. Every file that stays against that is named in one message.
bool RemovePayload(Job& job) {
    FileSystem& files = job.platform.files;
    char path[kMaxPath];
    char stayed[kMaxArchiveEntries * (kMaxPath + 1) + 1] = {};
    size_t stayedLength = 0;
    for (ArchiveEntry entry; NextArchiveEntry(job.archive, entry);) {
        TargetPath(job, entry, path);
        const bool shared = entry.destination != 0;
        if (shared && ReleaseSharedFile(job.platform.registry, path) == SharedFileRelease::StillUsed) continue;
        if (!files.Delete(path) && files.CanOpenForReading(path)) {
            stayedLength +=
                static_cast<size_t>(FormatText(stayed + stayedLength, sizeof stayed - stayedLength, "%s\n", path));
        } else if (shared) {
            ForgetSharedFile(job.platform.registry, path);
        }
    }
    if (stayedLength == 0) return true;
    static_assert(sizeof stayed + 512 <= kMessageCapacity, "the message holds every file left in place");
    ShowInstallError(job.platform.messages,
                     "Error: these files could not be deleted and are left in place:\n%s\nKOVA's registry entries are "
                     "removed. Please delete the files by hand, with the copy of SETUP in %s. KOVA NOT fully removed!",
                     stayed, job.directory);
    return false;
}

// Opens the own file, finds the archive and checks the directory and every path; false, the reason
// shown, when any of that fails. A body that fails its digest is treated as a damaged archive;
// removing reads only the names.
bool Prepare(Job& job) {
    Platform& platform = job.platform;
    const bool opened = job.own.Open();
    const bool found = opened && FindSetupArchive(platform, job.own, job.archive) == ArchiveStatus::Found &&
                       (job.mode == Mode::Remove || ArchiveDigestsMatch(platform, job.own, job.archive));
    if (!opened || job.own.Failed()) {
        ReportUnreadableOwnFile(job);
        return false;
    }
    if (!found) {
        ShowInstallError(platform.messages, "%s", kNoArchiveText);
        return false;
    }
    return CheckDirectory(job) && CheckPaths(job);
}

// The install's steps, each of which can be run again over what an interrupted run left: the record
// of the install under way goes only after the last of them, before the success message.
bool RunInstall(Job& job) {
    if (!Prepare(job)) return Abandon(job);
    Platform& platform = job.platform;
    MakeDirectoryChain(platform.files, job.directory);
    if (!WritePayload(job) || !WriteSetupCopy(job) || !RegisterShellEntries(job) || !RegisterUninstallEntry(job)) {
        return Abandon(job);
    }
    RecordWork(platform.registry, UnfinishedWork::None);
    ShowStringMessage(platform, IDS_INSTALL_SUCCESS, kInstallerCaption,
                      MessageStyle::Ok | MessageStyle::IconInformation);
    return true;
}

// The refresh of an upgrade: the payload files, the copy and the list entry are written again.
bool RunRefresh(Job& job) {
    // A directory removed by hand is made again, so the refresh does not fail at every start.
    MakeDirectoryChain(job.platform.files, job.directory);
    if (!WritePayload(job) || !WriteSetupCopy(job) || !RegisterUninstallEntry(job)) return false;
    RecordWork(job.platform.registry, UnfinishedWork::None);
    return true;
}

}  // namespace

bool InstallFiles(Platform& platform, const char* directory, InstallMode mode) {
    const bool completing = mode == Mode::Complete;
    const Mode steps = completing ? Mode::Install : mode;
    Job job{platform, directory, steps, completing || mode == Mode::Upgrade, OwnSetupFile(platform.files), {}};
    if (job.mode == Mode::Install) return RunInstall(job);
    if (!Prepare(job)) return Abandon(job);
    return mode == Mode::Upgrade ? RunRefresh(job) : RemovePayload(job);
}

RemovalOutcome RemoveInstalledFiles(Platform& platform, const char* directory) {
    Job job{platform, directory, Mode::Remove, false, OwnSetupFile(platform.files), {}};
    if (!Prepare(job)) return RemovalOutcome::PayloadNotRead;
    return RemovePayload(job) ? RemovalOutcome::Removed : RemovalOutcome::FilesLeft;
}
