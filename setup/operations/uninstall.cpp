#include "operations/uninstall.h"

#include <cstring>

#include "operations/install.h"
#include "resources/resource_ids.h"
#include "text/text_format.h"
#include "operations/uninstall_entry.h"

namespace {

struct KeyToDelete {
    RegRoot root;
    const char* path;
};

// Every key after its subkey; the configuration last, so that a failure before it leaves an
// installation that the next run still finds and can uninstall.
constexpr KeyToDelete kKeysToDelete[] = {
    {RegRoot::ClassesRoot, "Directory\\shell\\print\\command"},
    {RegRoot::ClassesRoot, "Directory\\shell\\print"},
    {RegRoot::ClassesRoot, "Directory\\shell\\Print with Filter...\\command"},
    {RegRoot::ClassesRoot, "Directory\\shell\\Print with Filter..."},
    {RegRoot::ClassesRoot, "Drive\\shell\\print\\command"},
    {RegRoot::ClassesRoot, "Drive\\shell\\print"},
    {RegRoot::ClassesRoot, "Drive\\shell\\Print with Filter...\\command"},
    {RegRoot::ClassesRoot, "Drive\\shell\\Print with Filter..."},
    {RegRoot::LocalMachine, kUninstallEntryKey},
    {RegRoot::LocalMachine, "Software\\KOVA"},
};

constexpr int kFailureCapacity = 255;      // string 24, at most 254 characters
constexpr int kUninstalledCapacity = 512;  // string 14, which is longer than the usual 254
constexpr size_t kMessageCapacity = 1024;  // string 14 with a directory of 259 characters
constexpr char kExplorerFormat[] = "\"%s\\explorer.exe\" \"%s%s\"";

bool DeleteRegistryKeys(Platform& platform) {
    char failure[kFailureCapacity] = {};
    platform.strings.Load(IDS_UNINSTALL_FAILED, failure, kFailureCapacity);
    for (const KeyToDelete& key : kKeysToDelete) {
        if (platform.registry.DeleteKey(key.root, key.path) == RegDeleteResult::Failed) {
            platform.messages.Show(failure, kUninstallErrorCaption, MessageStyle::Ok);
            return false;
        }
    }
    return true;
}

bool UserWantsExplorer(Platform& platform, const char* directory) {
    char format[kUninstalledCapacity] = {};
    char text[kMessageCapacity];
    platform.strings.Load(IDS_UNINSTALLED, format, kUninstalledCapacity);
    FormatText(text, sizeof text, format, directory);
    return platform.messages.Show(text, kUninstallSuccessCaption, MessageStyle::YesNo) == kAnswerYes;
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
    if (!DeleteRegistryKeys(platform)) return false;
    const std::string_view stored = RecordText(record.installationDirectory);
    char directory[kMaxPath] = {};
    std::memcpy(directory, stored.data(), stored.size());
    // Files that could not be deleted have been named; the success box would contradict that. After a
    // payload that could not be read, the box and Explorer let the user delete the files by hand.
    if (RemoveInstalledFiles(platform, directory) != RemovalOutcome::FilesLeft &&
        UserWantsExplorer(platform, directory)) {
        OpenInExplorer(platform, launcher, directory);
    }
    quit.Post(0);
    return true;
}
