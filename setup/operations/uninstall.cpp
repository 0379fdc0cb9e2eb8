#include "operations/uninstall.h"

#include <cstring>

#include "configuration/registry_keys.h"
#include "configuration/unfinished_work.h"
#include "operations/install.h"
#include "operations/uninstall_entry.h"
#include "resources/resource_ids.h"
#include "text/message_box.h"
#include "text/text_format.h"

namespace {

constexpr char kExplorerFormat[] = "\"%s\\explorer.exe\" \"%s%s\"";

bool DeleteKey(Platform& platform, RegRoot root, const char* path) {
    return platform.registry.DeleteKey(root, path) != RegDeleteResult::Failed;
}

// A registry change that failed: said in the box, and the uninstall stops there. Its record goes,
// so that no start repeats it by itself; pressing Uninstall again goes on from where it stopped.
bool ReportRegistryFailure(Platform& platform) {
    RecordWork(platform.registry, UnfinishedWork::None);
    ShowStringMessage(platform, IDS_UNINSTALL_FAILED, kUninstallErrorCaption, MessageStyle::Ok);
    return false;
}

// The verbs, then the entry in the list of installed programs. The configuration goes after the
// files: it names their directory, which a start after an interruption needs to finish the uninstall.
bool DeleteShellKeysAndListEntry(Platform& platform) {
    bool deleted = true;
    for (const char* key : kShellKeysToRemove) deleted = deleted && DeleteKey(platform, RegRoot::ClassesRoot, key);
    return deleted && DeleteKey(platform, RegRoot::LocalMachine, kUninstallEntryKey);
}

bool UserWantsExplorer(Platform& platform, const char* directory) {
    return ShowStringMessage(platform, IDS_UNINSTALLED, kUninstallSuccessCaption, MessageStyle::YesNo, directory) ==
           kAnswerYes;
}

// Explorer by its full path: a bare name would be looked for in the program's own folder and the
// current directory first, where anything saved beside the setup would run in its place. The
// directory is quoted so that one with blanks opens as one folder; one that ends in a backslash
// (a drive root) gets a "." after it, as a backslash before the closing quote would escape it.
void OpenInExplorer(Platform& platform, ProgramLauncher& launcher, const char* directory) {
    char windows[kMaxPath];
    if (!platform.files.WindowsDirectory(windows)) return;
    const size_t length = std::strlen(directory);
    const char* tail = length > 0 && directory[length - 1] == '\\' ? "." : "";
    char command[2 * kMaxPath + sizeof kExplorerFormat] = {};
    FormatText(command, sizeof command, kExplorerFormat, windows, directory, tail);
    launcher.Start(command);
}

}  // namespace

bool RemoveInstallation(Platform& platform, ProgramLauncher& launcher, QuitRequest& quit, const SetupDialog& record) {
    if (!RecordWork(platform.registry, UnfinishedWork::Uninstall) || !DeleteShellKeysAndListEntry(platform)) {
        return ReportRegistryFailure(platform);
    }
    const std::string_view stored = RecordText(record.installationDirectory);
    char directory[kMaxPath] = {};
    std::memcpy(directory, stored.data(), stored.size());
    const RemovalOutcome removal = RemoveInstalledFiles(platform, directory);
    // The configuration, with the record of the uninstall under way, is the last thing to go.
    if (!DeleteKey(platform, RegRoot::LocalMachine, kKovaKey)) return ReportRegistryFailure(platform);
    // Files that could not be deleted have been named; the success box would contradict that. After a
    // payload that could not be read, the box and Explorer let the user delete the files by hand.
    if (removal != RemovalOutcome::FilesLeft && UserWantsExplorer(platform, directory)) {
        OpenInExplorer(platform, launcher, directory);
    }
    quit.Post(0);
    return true;
}
